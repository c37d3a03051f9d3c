#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with TARVELO_SANITIZE=1): everything,
# or only the targets named as arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
opts=()
if [ "${TARVELO_SANITIZE:-0}" = 1 ]; then
    dir=build-sanitize
    opts+=(-DTARVELO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
# A compiler cache, when there is one, makes rebuilds in other checkouts of the tree cheap.
if command -v ccache >/dev/null 2>&1; then
    opts+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${opts[@]}" >/dev/null
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
