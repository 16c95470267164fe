#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time. Fails on the first target that
# crashes, leaks, trips a sanitizer or breaks one of its properties; the input that did it is
# kept in <build>/fuzz-artifacts. Needs clang and libFuzzer (Debian: clang, libclang-rt-14-dev).
#
#   scripts/fuzz.sh [seconds per target] [target name ...]
#
# K30_FUZZ_BUILD_DIR chooses the build directory (default build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
build="${K30_FUZZ_BUILD_DIR:-build-fuzz}"

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in tests/fuzz/fuzz_*.cpp; do
        name="$(basename "$source" .cpp)"
        targets+=("${name#fuzz_}")
    done
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DK30_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/fuzz-artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
failed=0
summary=""
for name in "${targets[@]}"; do
    # The fuzzer adds what it finds to a working copy; the seeds in the tree stay as they are.
    work="$build/fuzz-corpus/$name"
    mkdir -p "$work"
    log="$build/fuzz-$name.log"
    status=0
    "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$name-" \
        "$work" "tests/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
        summary+="$(printf '%-16s FAILED (exit %s), log %s' "$name" "$status" "$log")"$'\n'
        failed=1
    else
        summary+="$(printf '%-16s %12s executions in %ss' "$name" "${runs:-?}" "$seconds")"$'\n'
    fi
done
printf '%s' "$summary"
exit "$failed"
