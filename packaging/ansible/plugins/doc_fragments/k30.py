# -*- coding: utf-8 -*-
# Options every module of k30.devices shares: which device, and which k30cfg-cli.
# MIT licence (see the collection's galaxy.yml).

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  port:
    description:
      - The device's serial port on the managed host, such as C(/dev/ttyUSB0); C(1) to
        C(4) for the window's ports "Com 1" to "Com 4" as the port mapping of the user the
        task runs as has them (standard C(/dev/ttyS0) to C(/dev/ttyS3); C(K30CFG_COM1) to
        C(K30CFG_COM4) win); or C(serial:NUMBER) for the USB adapter with that serial
        number wherever it is plugged in (C(k30cfg-cli ports) lists them).
      - The user the task runs as needs read and write access to it (on Debian, the
        C(dialout) group).
    type: raw
    required: true
  executable:
    description:
      - The k30cfg-cli program on the managed host, a path or a name looked up in C(PATH).
    type: str
    default: k30cfg-cli
requirements:
  - k30cfg-cli (the Debian package k30cfg) on the managed host.
'''
