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
offered=$(complete_line report "$work/site.c")
[ "$offered" = "$work/site.cfg" ] || fail "report $work/site.c completes to '$offered'"
# Names that are data never pass through anything that expands them: a description or serial
# number holding a tab, `$(...)`, backquotes or ";" runs nothing, and what is offered, read back
# by the shell as bash inserts it, is the serial number itself.
pwned=$work/pwned
hostile="\`touch\${IFS}$pwned\`;\$(touch\${IFS}$pwned)"
# Each offered word as the shell reads it back, one per line; fails on a word that is not one.
read_back() {
    local word back
    while IFS= read -r word; do
        eval "back=($word)"
        [ ${#back[@]} = 1 ] || fail "'$word' is ${#back[@]} words"
        printf '%s\n' "${back[0]}"
    done <<<"$1"
}

# A description kept in ports.conf, through the program itself: its tab made a field of its own.
mkdir -p "$work/config/k30cfg"
printf '[Com2]\npath=/dev/ttyUSB9\nserialNumber=GONE01\ndescription="%s\\tz"\n' "$hostile" \
    >"$work/config/k30cfg/ports.conf"
offered=$(XDG_CONFIG_HOME=$work/config complete_line version --port "")
[ ! -e "$pwned" ] || fail "completing --port ran a description from ports.conf"
[[ $offered != *touch* && $(grep -cxE '[1-4]' <<<"$offered") = 4 ]] ||
    fail "--port offers ${offered//$'\n'/ }"

# serial:NUMBER for the adapters `ports` lists, from a stand-in that lists them as a program
# without escapes would: a good adapter, one whose serial number is hostile, one whose number
# the program showed with an escape (it cannot be typed back so), and a Com line whose
# description holds a tab.
{
    printf 'Ports present (device, description, manufacturer, serial number, USB vendor:product):\n'
    printf '%s\t%s\t%s\t%s\t%s\n' /dev/ttyUSB0 'FT232R USB UART' FTDI A50285BI 0403:6001 \
        /dev/ttyUSB1 "$hostile" FTDI "$hostile" 0403:6001 /dev/ttyUSB2 '' '' 'S\tN' 0403:6001 \
        /dev/ttyS0 '' '' '' ''
    printf 'Com mapping in force:\nCom 1\t/dev/ttyUSB0\tchosen in Port Mapping\tserial A50285BI\n'
    printf 'Com 2\t/dev/ttyUSB9\tchosen in Port Mapping, not present\t%s\tz, serial G\n' "$hostile"
} >"$work/ports.txt"
# shellcheck disable=SC2016 # the stand-in's own $1
printf '#!/bin/sh\n[ "$1" = ports ] || exit 3\nexec cat %q\n' "$work/ports.txt" \
    >"$work/cli-with-adapter"
chmod +x "$work/cli-with-adapter"
real_cli=$cli cli=$work/cli-with-adapter
offered=$(complete_line version --port serial:A)
[ "$offered" = "A50285BI" ] || fail "--port serial:A completes to '$offered'"
offered=$(complete_line version --port serial:)
[ "$(read_back "$offered" | sort)" = "$(printf '%s\n' "$hostile" A50285BI | sort)" ] ||
    fail "--port serial: completes to '$offered'"
offered=$(complete_line version --port s)
[ "$(read_back "$offered" | sort)" = "$(printf 'serial:%s\n' "$hostile" A50285BI | sort)" ] ||
    fail "--port s completes to '$offered'"
[ ! -e "$pwned" ] || fail "completing --port ran an adapter's text"

# The commands and their options come from the program's listing: a line holding anything but
# words and dashes is passed over, never expanded.
printf '%s\n' 'show --json' "run\$(touch\${IFS}$pwned) --json" "show --json --\$(touch\${IFS}$pwned)" \
    "version --json \`touch\${IFS}$pwned\`" 'facts --json --port' >"$work/listing.txt"
# shellcheck disable=SC2016 # the stand-in's own $1
printf '#!/bin/sh\n[ "$1" = --list-commands ] || exit 3\nexec cat %q\n' "$work/listing.txt" \
    >"$work/cli-listing"
chmod +x "$work/cli-listing"
cli=$work/cli-listing
offered=$(complete_line "")
[ "$offered" = "$(printf '%s\n' facts show)" ] || fail "commands from a hostile listing: $offered"
offered=$(complete_line show --)
[ "$offered" = "--json" ] || fail "show -- from a hostile listing completes to '$offered'"
offered=$(complete_line facts --p)
[ "$offered" = "--port" ] || fail "facts --p completes to '$offered'"
[ ! -e "$pwned" ] || fail "completing a command ran a line of the program's listing"
cli=$real_cli

# File names with blanks and quotes, typed quoted or with backslashes: the files are offered,
# and after the file the parameter names it holds.
cp "$work/site.cfg" "$work/my file.cfg"
cp "$work/site.cfg" "$work/it's \"q\".cfg"
for typed in "\"$work/my f" "$work/my\\ f" "'$work/my f"; do
    offered=$(complete_line set "$typed")
    [ "$offered" = "$work/my file.cfg" ] || fail "set $typed completes to '$offered'"
done
offered=$(complete_line show "\"$work/it")
[ "$offered" = "$work/it's \"q\".cfg" ] || fail "show \"$work/it completes to '$offered'"
for typed in "\"$work/my file.cfg\"" "$work/it\\'s\\ \\\"q\\\".cfg" "'$work/it'\\''s \"q\".cfg'" \
    "\"$work/it's \\\"q\\\".cfg\""; do
    offered=$(complete_line set "$typed" decoder.comm.pari)
    [ "$offered" = "decoder.comm.parity=" ] || fail "set $typed decoder.comm.pari: '$offered'"
done
offered=$(complete_line set "\"\$(touch $pwned)\"" decoder.comm.pari)
[ -z "$offered" ] || fail "set with a command as file offers '$offered'"
[ ! -e "$pwned" ] || fail "set ran the command typed as its file"

offered=$(complete_line version --baud "")
[ "$offered" = "$(printf '%s\n' 1200 19200 2400 4800 9600)" ] || fail "--baud offers $offered"
echo "PASS: completion of $(wc -w <<<"$commands") commands, their options and parameter names"
