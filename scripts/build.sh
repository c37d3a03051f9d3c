#!/usr/bin/env bash
# Configures and builds into build/ (or build-sanitize/ with TARVELO_SANITIZE=1): everything,
# or only the targets named as arguments. TARVELO_QT=6 builds against Qt 6 instead of Qt 5,
# into build-qt6/ (build-qt6-sanitize/), so both builds live side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
qt=${TARVELO_QT:-5}
dir=build
[ "$qt" = 5 ] || dir=build-qt$qt
opts=(-DTARVELO_QT="$qt")
if [ "${TARVELO_SANITIZE:-0}" = 1 ]; then
    dir=$dir-sanitize
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
