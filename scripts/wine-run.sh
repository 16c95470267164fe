#!/usr/bin/env bash
# Runs a Windows program of the cross-build under wine64: the emulator CTest puts in front of
# every test of build-windows, and a way to try a program by hand.
#
#     scripts/wine-run.sh [--fresh] PREFIX PROGRAM.exe [ARGUMENTS...]
#
# PREFIX is the wine prefix, made on first use without a graphics driver (the tests draw
# offscreen). With --fresh the program runs in a copy of PREFIX made for this run and removed
# after it (hard links, but its own registry): each test has its own user settings (Windows
# keeps them in the registry, which no environment variable moves), temporary folder and COM
# ports, as each Linux test has its own XDG_CONFIG_HOME.
#
# wine hands a Windows program none of the Unix variables whose names begin with QT_, only
# those spelled WINEQT_...: each QT_ variable is passed on that way, so a test's
# QT_QPA_PLATFORM=offscreen reaches it. With no console attached, Qt writes its messages and
# Qt Test its results to the debugger unless QT_FORCE_STDERR_LOGGING says otherwise.
set -euo pipefail
fresh=0
if [ "${1:-}" = --fresh ]; then
    fresh=1
    shift
fi
if [ $# -lt 2 ]; then
    echo "usage: $0 [--fresh] PREFIX PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi
prefix=$(realpath -m "$1")
shift

find_wine() {
    command -v "$1" 2>/dev/null || { [ -x "/usr/lib/wine/$1" ] && echo "/usr/lib/wine/$1"; } || true
}
wine=$(find_wine wine64)
wineserver=$(find_wine wineserver)
if [ -z "$wine" ] || [ -z "$wineserver" ]; then
    echo "$0: wine64 is not installed (Debian: apt-get install wine64)" >&2
    exit 127
fi

export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        WINEPREFIX="$prefix" "$wine" wineboot --init >/dev/null 2>&1
        WINEPREFIX="$prefix" "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
            >/dev/null 2>&1
        WINEPREFIX="$prefix" "$wineserver" -w
    fi
) 9>"$prefix.lock"

for name in $(compgen -e); do
    case "$name" in
    QT_*) export "WINE$name=${!name}" ;;
    esac
done
export WINEQT_FORCE_STDERR_LOGGING=1

if [ "$fresh" = 0 ]; then
    export WINEPREFIX="$prefix"
    exec "$wine" "$@"
fi

mkdir -p "$prefix.runs"
run=$(mktemp -d "$prefix.runs/run.XXXXXX")
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    WINEPREFIX="$run/prefix" "$wineserver" -k 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
cp -al "$prefix" "$run/prefix"
# The registry is rewritten while the program runs: a copy of its own, not links.
rm -f "$run/prefix"/*.reg
cp "$prefix"/*.reg "$run/prefix/"
export WINEPREFIX="$run/prefix"
status=0
"$wine" "$@" || status=$?
exit "$status"
