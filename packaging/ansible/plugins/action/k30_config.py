# -*- coding: utf-8 -*-
# Takes src from the controller to the managed host (unless remote_src), then runs the
# k30_config module there.
# MIT licence (see the collection's galaxy.yml).

from __future__ import absolute_import, division, print_function
__metaclass__ = type

from ansible.errors import AnsibleAction, AnsibleActionFail, AnsibleError
from ansible.module_utils.common.text.converters import to_text
from ansible.module_utils.parsing.convert_bool import boolean
from ansible.plugins.action import ActionBase


class ActionModule(ActionBase):

    TRANSFERS_FILES = True

    def run(self, tmp=None, task_vars=None):
        if task_vars is None:
            task_vars = dict()
        result = super(ActionModule, self).run(tmp, task_vars)
        del tmp
        module_args = self._task.args.copy()
        source = module_args.get('src')
        try:
            if source is None:
                raise AnsibleActionFail('src is required')
            if not boolean(module_args.get('remote_src', False), strict=False):
                try:
                    source = self._loader.get_real_file(self._find_needle('files', source))
                except AnsibleError as e:
                    raise AnsibleActionFail(to_text(e))
                tmpdir = self._connection._shell.tmpdir
                remote = self._connection._shell.join_path(tmpdir, 'k30-source.cfg')
                self._transfer_file(source, remote)
                self._fixup_perms2((tmpdir, remote))
                module_args['src'] = remote
                module_args['remote_src'] = True
            result.update(self._execute_module(module_name='k30.devices.k30_config',
                                               module_args=module_args, task_vars=task_vars))
            # The file as the playbook names it, not its copy in the host's temporary folder.
            if isinstance(result.get('diff'), dict):
                result['diff']['after_header'] = self._task.args.get('src')
        except AnsibleAction as e:
            result.update(e.result)
        finally:
            self._remove_tmp_path(self._connection._shell.tmpdir)
        return result
