#!/usr/bin/python
# -*- coding: utf-8 -*-
# MIT licence (see the collection's galaxy.yml).

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: k30_facts
short_description: Reads a K30's firmware version and the parameters it sends
version_added: 1.0.0
description:
  - Runs C(k30cfg-cli facts --json) on the managed host. It sends one upload request and
    changes nothing.
  - The device answers with one of its two sections (bar decoder or magnetic reader); its
    parameters are returned by the names C(k30cfg-cli show) lists.
  - A device that does not answer or a port that cannot be opened fails the task, for that
    host only.
extends_documentation_fragment:
  - k30.devices.k30
notes:
  - Supports check mode (it never changes anything).
author:
  - k30cfg developers
'''

EXAMPLES = r'''
- name: What the scanner holds
  k30.devices.k30_facts:
    port: /dev/ttyUSB0

- name: Report the firmware
  ansible.builtin.debug:
    msg: "{{ k30_versions | join(' ') }}, parity {{ k30_parameters['decoder.comm.parity'] }}"
'''

RETURN = r'''
k30_versions:
  description: The two firmware version fields, as the device sends them.
  returned: always
  type: list
  elements: str
  sample: ["K30SIM V1.00", "2024-05-01"]
k30_section:
  description: The section the device sent, C(decoder) or C(reader).
  returned: always
  type: str
k30_parameters:
  description: The parameters of that section, by name, with the values C(k30cfg-cli show)
    uses.
  returned: always
  type: dict
  sample: {"decoder.comm.parity": "None", "decoder.comm.baud": "9600"}
ansible_facts:
  description: The same three, as host facts.
  returned: always
  type: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.k30.devices.plugins.module_utils.k30cli import (
    port_argument, run_k30cfg_cli)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type='raw', required=True),
            executable=dict(type='str', default='k30cfg-cli'),
        ),
        supports_check_mode=True,
    )
    rc, answer = run_k30cfg_cli(module, ['facts', '--port', port_argument(module)])
    if answer.get('outcome') != 'ok':
        module.fail_json(msg=answer.get('message', ''), outcome=answer.get('outcome'), rc=rc)
    facts = dict(
        k30_versions=answer.get('versions'),
        k30_section=answer.get('section'),
        k30_parameters=answer.get('parameters', {}),
    )
    module.exit_json(changed=False, ansible_facts=facts, **facts)


if __name__ == '__main__':
    main()
