#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
# socat: serial tests; xvfb, xauth, x11vnc, novnc, websockify, iproute2: run.sh without a
# display, and x11-utils (xdpyinfo), openssl (the VNC password's DES) to test who gets in;
# lintian, help2man, appstream, desktop-file-utils, man-db, and xdg-utils, shared-mime-info,
# libglib2.0-bin (gio) for the type of configuration files: the package test;
# bash-completion: the completion test; ansible-core: the test of the Ansible collection;
# poppler-utils (pdftotext): the text of the configuration report's PDF.
scripts/install-deps.sh socat xvfb xauth x11vnc novnc websockify iproute2 x11-utils openssl \
    lintian help2man appstream desktop-file-utils man-db xdg-utils shared-mime-info libglib2.0-bin \
    bash-completion ansible-core poppler-utils
build="${K30_BUILD_DIR:-build}"
# A new build directory uses Ninja where the machine has it; an existing one keeps its generator.
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
# shellcheck disable=SC2086
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE="${K30_BUILD_TYPE:-RelWithDebInfo}" \
    ${K30_CMAKE_ARGS:-}
cmake --build "$build" -j"$(nproc)"
# Two tests per core: most of them spend their time waiting for the device's time-outs.
# K30_CTEST_ARGS narrows the run, e.g. "-LE slow" or "-L fuzz" (labels: unit, gui, exchange,
# slow; system and its kind for the tests of tests/system).
# shellcheck disable=SC2086
ctest --test-dir "$build" --output-on-failure -j"$((2 * $(nproc)))" ${K30_CTEST_ARGS:-}
