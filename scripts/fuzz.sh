#!/usr/bin/env bash
# Builds the fuzz targets (tests/system/fuzz) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time. Fails on the first target that
# crashes, leaks, trips a sanitizer or breaks one of its properties; the input that did it is
# kept in <build>/fuzz-artifacts. Needs clang and libFuzzer (Debian: clang, libclang-rt-14-dev).
#
#   scripts/fuzz.sh [seconds per target] [target name ...]
#
# K30_FUZZ_BUILD_DIR chooses the build directory (default build-fuzz); K30_FUZZ_JOBS how many
# targets run at once (default: the number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
build="${K30_FUZZ_BUILD_DIR:-build-fuzz}"

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in tests/system/fuzz/fuzz_*.cpp; do
        name="$(basename "$source" .cpp)"
        targets+=("${name#fuzz_}")
    done
fi

generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DK30_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/fuzz-artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

# One target: the fuzzer adds what it finds to a working copy; the seeds in the tree stay as
# they are. Its exit status is kept in a file for the summary.
fuzz_one() {
    local name="$1" work="$build/fuzz-corpus/$1" log="$build/fuzz-$1.log" status=0
    mkdir -p "$work"
    "$build/tests/system/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$name-" \
        "$work" "tests/system/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    echo "$status" >"$build/fuzz-$name.status"
}

# K30_FUZZ_JOBS targets run side by side (default: one per core).
jobs="${K30_FUZZ_JOBS:-$(nproc)}"
for name in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    fuzz_one "$name" &
done
wait

failed=0
summary=""
for name in "${targets[@]}"; do
    log="$build/fuzz-$name.log"
    status="$(cat "$build/fuzz-$name.status" 2>/dev/null || echo "?")"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    if [ "$status" != 0 ]; then
        tail -n 40 "$log"
        summary+="$(printf '%-16s FAILED (exit %s), log %s' "$name" "$status" "$log")"$'\n'
        failed=1
    else
        summary+="$(printf '%-16s %12s executions in %ss' "$name" "${runs:-?}" "$seconds")"$'\n'
    fi
done
printf '%s' "$summary"
exit "$failed"
