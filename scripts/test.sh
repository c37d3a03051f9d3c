#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
dir=build
[ "${TARVELO_SANITIZE:-0}" = 1 ] && dir=build-sanitize
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
