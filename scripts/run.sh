#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the tool with a simulated K30
# attached (K30_SIMULATE=0: with the real ports instead). Without a display the window is
# served through Qt's VNC platform plugin on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
cmake --build build-release -j"$(nproc)" --target k30cfg
exe=build-release/app/k30cfg
if [ "${K30_SIMULATE:-1}" != 0 ]; then
    set -- --simulate "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    port="${K30_VNC_PORT:-5900}"
    # Qt 6.4's VNC plug-in knows only port=, size=, depth= and mmsize=; it listens on every
    # interface of this machine, without a password.
    echo "No display found: serving the window over VNC at 127.0.0.1:${port}"
    echo "(Qt's VNC plug-in listens on every network interface: use it on a trusted network)"
    exec "$exe" "$@" -platform "vnc:port=${port}:size=1280x800"
fi
exec "$exe" "$@"
