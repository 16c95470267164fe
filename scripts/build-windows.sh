#!/usr/bin/env bash
# Cross-builds the tool for Windows on this Linux machine: k30cfg.exe, k30cfg-cli.exe and the
# tests that run on Windows, with MinGW-w64 and the static Qt 6 kept in ../shared/winqt/ beside
# the repository (its install.sh puts it at /opt/k30-qt-mingw and installs the compiler and
# wine64). The programs carry the MinGW runtime and Qt inside: each .exe runs alone.
#
#     scripts/build-windows.sh [--test] [--package] [--tests NAME,NAME...]
#
# --test     then runs the tests under wine64 with CTest (each in a wine prefix of its own)
# --package  then makes the installer (NSIS) and the zip of the same files (the test of them,
#            k30_windows_installer, is one of the tests)
# --tests    builds the two programs and only these tests, and runs only these (CI's choice)
#
# K30_WINQT_DIR: the folder of the static Qt (default ../shared/winqt beside the repository);
# K30_WINDOWS_BUILD_DIR: the build folder (build-windows); K30_CMAKE_ARGS, K30_CTEST_ARGS: as
# for scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    sed -n '7,12s/^# \{0,1\}//p' "$0"
}
run_tests=0
make_package=0
only_tests=""
while [ $# -gt 0 ]; do
    arg="$1"
    shift
    case "$arg" in
    --test) run_tests=1 ;;
    --package) make_package=1 ;;
    --tests)
        if [ $# -eq 0 ] || ! [[ "$1" =~ ^[A-Za-z0-9_]+(,[A-Za-z0-9_]+)*$ ]]; then
            echo "$0: --tests needs test names separated by commas" >&2
            exit 3
        fi
        only_tests="$1"
        shift
        ;;
    -h | --help)
        usage
        exit 0
        ;;
    *)
        echo "$0: unknown argument: $arg" >&2
        usage >&2
        exit 3
        ;;
    esac
done

winqt="${K30_WINQT_DIR:-../shared/winqt}"
if [ ! -f "$winqt/install.sh" ]; then
    echo "$0: the static Qt for Windows is missing: no $winqt/install.sh" >&2
    echo "(it is kept beside the repository, in ../shared/winqt/, or where K30_WINQT_DIR" >&2
    echo "points); nothing was built." >&2
    exit 2
fi
# The installer and its test need NSIS and unzip; the test reads the report's PDF with pdftotext.
if [ "$run_tests" = 1 ] || [ "$make_package" = 1 ]; then
    scripts/install-deps.sh nsis unzip poppler-utils
fi
# The toolchain file is the last line install.sh prints.
toolchain=$(bash "$winqt/install.sh" | tail -n 1)
if [ ! -f "$toolchain" ]; then
    echo "$0: $winqt/install.sh named no toolchain file ($toolchain); nothing was built." >&2
    exit 2
fi

build="${K30_WINDOWS_BUILD_DIR:-build-windows}"
generator=()
if [ ! -f "$build/CMakeCache.txt" ]; then
    generator=(-G Ninja)
fi
# shellcheck disable=SC2086
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" ${K30_CMAKE_ARGS:-}
targets=()
ctest_only=()
if [ -n "$only_tests" ]; then
    IFS=, read -r -a names <<<"$only_tests"
    targets=(--target k30cfg k30cfg-cli)
    # A test that is a program of this build is built; others (scripts) need the programs only.
    for name in "${names[@]}"; do
        if [[ "$name" == tst_* ]]; then
            targets+=("$name")
        fi
    done
    ctest_only=(-R "^($(IFS='|'; echo "${names[*]}"))\$")
fi
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
echo "Windows programs: $build/k30cfg.exe $build/k30cfg-cli.exe"

if [ "$run_tests" = 1 ]; then
    # Two tests per core, as on Linux: most of the time goes into wine starting programs.
    # shellcheck disable=SC2086
    ctest --test-dir "$build" --output-on-failure -j"$((2 * $(nproc)))" "${ctest_only[@]}" \
        ${K30_CTEST_ARGS:-}
fi
if [ "$make_package" = 1 ]; then
    (cd "$build" && cpack)
fi
