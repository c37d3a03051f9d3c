#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with TARVELO_SANITIZE=1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
opts=()
if [ "${TARVELO_SANITIZE:-0}" = 1 ]; then
    dir=build-sanitize
    opts+=(-DTARVELO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
