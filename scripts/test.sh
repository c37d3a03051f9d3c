#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; non-zero on any failure.
# TARVELO_QT=6 and TARVELO_SANITIZE=1 choose the build as scripts/build.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
dir=build
[ "${TARVELO_QT:-5}" = 5 ] || dir=build-qt$TARVELO_QT
[ "${TARVELO_SANITIZE:-0}" = 1 ] && dir=$dir-sanitize
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
