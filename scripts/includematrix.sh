#!/usr/bin/env bash
# Prints which top-level folder includes headers from which (project headers only), as
# "from -> to: count", and the files outside app/ that include app/mainwindow.h.
set -euo pipefail
cd "$(dirname "$0")/.."
dirs="app common link transfer record browser download viewer help fetch translations resources tools tests bench fuzz"
for f in $(git ls-files '*.h' '*.cpp'); do
    from=${f%%/*}
    { grep -ho '^#include "[a-z]*/' "$f" || true; } | sed 's/#include "//; s/\/$//' | sed "s|^|$from -> |"
done | grep -E -- "-> ($(echo $dirs | tr ' ' '|'))$" | grep -v -E '^(.*) -> \1$' | sort | uniq -c |
    awk '{printf "%-10s -> %-10s %s\n", $2, $4, $1}'
echo "outside app/ including app/mainwindow.h:"
git grep -l '#include "app/mainwindow.h"' -- ':!app/' ':!scripts/' | sed 's/^/  /'
