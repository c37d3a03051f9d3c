#!/usr/bin/env bash
# Records what the program says to the stand-in instrument in the end-to-end tests of a
# build: scripts/clientlines.sh BUILD_DIR OUT_FILE. The tests run one at a time, so the
# lines come in the order the program wrote them. TARVELO_CLIENT_LINES_LANGUAGE=de records them
# with the program speaking German.
set -uo pipefail
build=$1
out=$2
raw=$(mktemp)
trap 'rm -f "$raw"' EXIT
export TARVELO_CLIENT_LINES=$raw
status=0
for t in browse_e2e download_e2e download_faults openfromlist; do
    # A test that fails (another program on the instrument's port, say) is run again, and
    # only the lines of its passing run are kept.
    for try in 1 2 3; do
        : >"$raw"
        if ctest --test-dir "$build" -R "^tst_$t\$" >/dev/null; then
            cat "$raw" >>"$out.tmp"
            continue 2
        fi
    done
    echo "tst_$t failed three times" >&2
    status=1
done
# QTemporaryDir's random six characters would differ from run to run; what is compared is the rest.
sed -E 's/(tst_[a-z0-9_]+)-[A-Za-z0-9]{6}/\1-XXXXXX/g' "$out.tmp" >"$out"
rm -f "$out.tmp"
exit $status
