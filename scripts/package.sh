#!/usr/bin/env bash
# Builds the Debian package into build-package/ (program, help, stand-in instrument and
# sample data generator only; no tests) and prints its name.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build-package
opts=(-DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=RelWithDebInfo
      -DTARVELO_BUILD_TESTS=OFF -DTARVELO_BUILD_BENCH=OFF -DTARVELO_BUILD_FUZZ=OFF)
if command -v ccache >/dev/null 2>&1; then
    opts+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/tarvelo-utility_*.deb
