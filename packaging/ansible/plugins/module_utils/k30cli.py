# -*- coding: utf-8 -*-
# Runs k30cfg-cli with --json on the managed host and reads the line it prints for a device.
# MIT licence (see the collection's galaxy.yml).

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json

# The outcomes of a device that ended well; any other fails the task.
GOOD_OUTCOMES = ('ok', 'changed', 'unchanged')


def port_argument(module):
    port = module.params['port']
    if isinstance(port, bool) or port is None or str(port).strip() == '':
        module.fail_json(msg='port: a device path, or 1 to 4')
    return str(port)


def run_k30cfg_cli(module, arguments):
    """Runs k30cfg-cli ARGUMENTS --json; returns (exit status, the first JSON object)."""
    executable = module.params['executable']
    if '/' not in executable:
        executable = module.get_bin_path(executable, required=True)
    command = [executable] + arguments + ['--json']
    rc, out, err = module.run_command(command)
    for line in out.splitlines():
        line = line.strip()
        if not line:
            continue
        try:
            result = json.loads(line)
        except ValueError:
            continue
        if isinstance(result, dict):
            return rc, result
    module.fail_json(msg='k30cfg-cli gave no result: %s' % (err.strip() or out.strip()),
                     rc=rc, cmd=command, stdout=out, stderr=err)
    return rc, {}
