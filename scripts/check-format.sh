#!/usr/bin/env bash
# Fails when a C++ source file differs from what clang-format (the root .clang-format) makes of
# it, and lists those files. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || scripts/install-deps.sh clang-format
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
