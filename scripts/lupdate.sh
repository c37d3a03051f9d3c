#!/usr/bin/env bash
# Refreshes translations/tarvelo_de.ts from the sources (new and changed texts come in
# unfinished, texts no longer in the sources are dropped), then names every text that still
# needs German. Translate those in the .ts (Qt Linguist: linguist translations/tarvelo_de.ts,
# or any editor) and run this again until it passes.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
[ "${TARVELO_QT:-5}" = 5 ] || dir=build-qt$TARVELO_QT
# One after the other: the test's build compiles the .ts that lupdate writes.
bash scripts/build.sh tarvelo-lupdate
bash scripts/build.sh tst_translations
ctest --test-dir "$dir" -R '^tst_translations$' --output-on-failure
