#!/usr/bin/env bash
# The bash completion of k30cfg-cli against the program itself: it offers exactly the commands
# the help lists, for each command exactly the options the program accepts with it, and after
# `set FILE` the parameter names `show` lists.
# Usage: check-completion.sh COMPLETION_FILE K30CFG_CLI
set -euo pipefail
export LC_ALL=C

completion=$1 cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$completion"

# What the completion offers for the words typed so far (the last one being completed), sorted.
complete_line() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    # compopt only works inside a completion bash itself runs: its complaint is no fault.
    _k30cfg_cli "$cli" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}" 2> >(grep -v compopt >&2)
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

help=$("$cli" --help)
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$help" | sort -u)
[ -n "$commands" ] || fail "no commands in k30cfg-cli --help"
offered=$(complete_line "")
[ "$offered" = "$commands" ] || fail "commands offered: ${offered//$'\n'/ }; listed: ${commands//$'\n'/ }"

# Every option of the help, tried with every command: the program says "takes no --NAME" for
# the options a command does not take.
all_options=$(sed -n '/^Options:/,$s/^  \(-[a-z], \)\{0,1\}\(--[a-z-]*\).*/\2/p' <<<"$help" |
    grep -vxE -- '--help|--help-all|--version')
[ -n "$all_options" ] || fail "no options in k30cfg-cli --help"
for command in $commands; do
    accepted=""
    for option in $all_options -o; do
        "$cli" "$command" "$option" x x >/dev/null 2>"$work/err" || true
        grep -q -- "takes no -\{1,2\}${option#-}\$" "$work/err" || accepted+="$option"$'\n'
    done
    accepted=$(sort <<<"$accepted" | sed '/^$/d')
    offered=$(complete_line "$command" -)
    [ "$offered" = "$accepted" ] ||
        fail "$command: offered ${offered//$'\n'/ }; the program takes ${accepted//$'\n'/ }"
done

"$cli" new "$work/site.cfg" >/dev/null
names=$("$cli" show "$work/site.cfg" | sed -n 's/.*\[\(decoder\.comm\.[a-z-]*\)\]$/\1=/p' | sort)
[ "$(wc -l <<<"$names")" -gt 5 ] || fail "show lists too few decoder.comm names: $names"
offered=$(complete_line set "$work/site.cfg" decoder.comm.)
[ "$offered" = "$names" ] || fail "set names offered: ${offered//$'\n'/ }; show: ${names//$'\n'/ }"
offered=$(complete_line set "$work/site.cfg" decoder.comm.pari)
[ "$offered" = "decoder.comm.parity=" ] || fail "set decoder.comm.pari completes to '$offered'"
# serial:NUMBER for the adapters `ports` lists, from a stand-in that lists one adapter.
cat >"$work/cli-with-adapter" <<'EOF_STUB'
#!/bin/sh
[ "$1" = ports ] || exit 3
printf 'Ports present (device, description, manufacturer, serial number, USB vendor:product):\n'
printf '/dev/ttyUSB0\tFT232R USB UART\tFTDI\tA50285BI\t0403:6001\n/dev/ttyS0\t\t\t\t\n'
printf 'Com mapping in force:\nCom 1\t/dev/ttyUSB0\tchosen in Port Mapping\tserial A50285BI\n'
EOF_STUB
chmod +x "$work/cli-with-adapter"
real_cli=$cli cli=$work/cli-with-adapter
offered=$(complete_line version --port serial:A)
[ "$offered" = "A50285BI" ] || fail "--port serial:A completes to '$offered'"
offered=$(complete_line version --port s)
[ "$offered" = "serial:A50285BI" ] || fail "--port s completes to '$offered'"
cli=$real_cli

offered=$(complete_line version --baud "")
[ "$offered" = "$(printf '%s\n' 1200 19200 2400 4800 9600)" ] || fail "--baud offers $offered"
echo "PASS: completion of $(wc -w <<<"$commands") commands, their options and parameter names"
