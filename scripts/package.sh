#!/usr/bin/env bash
# Builds the Debian package into build-package/ (program, help, stand-in instrument and
# sample data generator only; no tests) and prints its name. TARVELO_QT=6 builds it against
# Qt 6 into build-package-qt6/; it then depends on Qt 6's libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
qt=${TARVELO_QT:-5}
dir=build-package
[ "$qt" = 5 ] || dir=build-package-qt$qt
opts=(-DTARVELO_QT="$qt" -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=RelWithDebInfo
      -DTARVELO_BUILD_TESTS=OFF -DTARVELO_BUILD_BENCH=OFF -DTARVELO_BUILD_FUZZ=OFF)
if command -v ccache >/dev/null 2>&1; then
    opts+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/tarvelo-utility_*.deb
