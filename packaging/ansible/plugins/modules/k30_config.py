#!/usr/bin/python
# -*- coding: utf-8 -*-
# MIT licence (see the collection's galaxy.yml).

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: k30_config
short_description: Puts a K30 configuration file into a device, only when it differs
version_added: 1.0.0
description:
  - Runs C(k30cfg-cli apply --json) on the managed host. It uploads the section the device
    sends, compares it with the same section of I(src), downloads I(src) only when they differ
    (or with I(force)), then uploads again and compares (the verify).
  - A K30 answers an upload with one of its two sections, the bar decoder's (bytes 0 to 24)
    or the magnetic reader's (bytes 25 to 84). Only that section is compared and verified;
    the other one is never taken as equal. C(section) in the result names the section that
    was compared.
  - A refused download, a device that does not answer, a port that cannot be opened and a
    failed verify fail the task, for that host only.
options:
  src:
    description:
      - The configuration file (C(*.cfg)), as the window or C(k30cfg-cli new) and
        C(k30cfg-cli set) write it.
      - On the controller (found like the C(copy) module's I(src), in the play's C(files)
        folders too), or on the managed host with I(remote_src).
    type: path
    required: true
  remote_src:
    description:
      - I(src) is a path on the managed host rather than on the controller.
    type: bool
    default: false
  save:
    description:
      - Download with "Save", so the device keeps the configuration. With C(false) it is
        sent with "Not Save"; a device that then still answers with the values it keeps fails
        the verify (set I(verify=false) for such a download).
    type: bool
    default: true
  verify:
    description:
      - Upload again after a download and compare the section the device sends with I(src).
    type: bool
    default: true
  force:
    description:
      - Download even when the device already holds the file's values (the task then reports
        a change).
    type: bool
    default: false
extends_documentation_fragment:
  - k30.devices.k30
notes:
  - Check mode sends no download; the task reports C(changed) and the differing parameters.
  - Diff mode (C(--diff)) shows the differing parameters, the device's values before and the
    file's after.
  - The serial line runs at 9600 baud, 8 data bits, 1 stop bit.
author:
  - k30cfg developers
'''

EXAMPLES = r'''
- name: Every till's scanner gets the site configuration
  k30.devices.k30_config:
    src: site.cfg
    port: /dev/ttyUSB0

- name: The configuration already on the host, into the device on COM 2 (/dev/ttyS1)
  k30.devices.k30_config:
    src: /etc/k30/lane.cfg
    remote_src: true
    port: 2
'''

RETURN = r'''
changed:
  description: The device got the file's values (in check mode, would get them).
  returned: always
  type: bool
msg:
  description: What k30cfg-cli said, with the window's message texts.
  returned: always
  type: str
  sample: "Download OK!"
outcome:
  description: k30cfg-cli's outcome, C(changed), C(unchanged), C(refused), C(timeout),
    C(port), C(file) or C(usage).
  returned: always
  type: str
section:
  description: The section the device sent and that was compared, C(decoder) or C(reader).
  returned: when the device answered
  type: str
  sample: decoder
versions:
  description: The device's two firmware version fields, as it sends them.
  returned: when the device answered
  type: list
  elements: str
  sample: ["K30SIM V1.00", "2024-05-01"]
differences:
  description: The parameters in which the device differed from the file (after a failed
    verify, those it still holds otherwise), with the values C(k30cfg-cli show) uses.
  returned: always
  type: list
  elements: dict
  sample: [{"name": "decoder.comm.parity", "here": "Odd", "device": "None"}]
diff:
  description: The same differences as text, the device's values before and the file's
    after; shown with C(--diff).
  returned: when there are differences
  type: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.k30.devices.plugins.module_utils.k30cli import (
    GOOD_OUTCOMES, port_argument, run_k30cfg_cli)


def diff_text(differences, side):
    return ''.join('%s: %s\n' % (entry['name'], entry[side]) for entry in differences)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            src=dict(type='path', required=True),
            remote_src=dict(type='bool', default=False),
            port=dict(type='raw', required=True),
            save=dict(type='bool', default=True),
            verify=dict(type='bool', default=True),
            force=dict(type='bool', default=False),
            executable=dict(type='str', default='k30cfg-cli'),
        ),
        supports_check_mode=True,
    )
    port = port_argument(module)
    arguments = ['apply', module.params['src'], '--port', port]
    if module.check_mode:
        arguments.append('--check')
    if module.params['force']:
        arguments.append('--force')
    if not module.params['save']:
        arguments.append('--not-save')
    if not module.params['verify']:
        arguments.append('--no-verify')
    rc, answer = run_k30cfg_cli(module, arguments)

    differences = answer.get('diff') or []
    result = dict(
        changed=bool(answer.get('changed')),
        msg=answer.get('message', ''),
        outcome=answer.get('outcome'),
        section=answer.get('section'),
        versions=answer.get('versions'),
        differences=differences,
        rc=rc,
    )
    if differences:
        section = answer.get('section') or 'unknown'
        result['diff'] = dict(
            before_header='device on %s (%s section)' % (port, section),
            after_header=module.params['src'],
            before=diff_text(differences, 'device'),
            after=diff_text(differences, 'here'),
        )
    if result['outcome'] not in GOOD_OUTCOMES:
        module.fail_json(**result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
