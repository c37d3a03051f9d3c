#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program against a stand-in instrument
# on 127.0.0.1 (connect to that address). The stand-in serves sample-data/, generated on
# the first run, and is stopped when the program exits. TARVELO_QT=6 runs the Qt 6 build.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "run.sh: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "The TARVELO Utility is a desktop program: run this from a desktop session," >&2
    echo "or on a machine without one under a virtual display:  xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi

# Outside a desktop session (a bare X server, xvfb-run) there is no runtime folder, and every
# Qt program below says so when it starts: give them a private one.
runtime_made=""
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d -t tarvelo-runtime.XXXXXX)
    export XDG_RUNTIME_DIR
    runtime_made=$XDG_RUNTIME_DIR
    trap 'rm -rf "$runtime_made"' EXIT
fi

bash scripts/deps.sh
# Only what this script runs; the tests, benchmarks and fuzz targets are built by test.sh.
bash scripts/build.sh tarvelo-utility tarvelo-help-docs tarvelo-instrument tarvelo-sampledata
build=build
[ "${TARVELO_QT:-5}" = 5 ] || build=build-qt$TARVELO_QT

data="$repo/sample-data"
if [ ! -d "$data" ]; then
    echo "Generating sample data into $data ..."
    rm -rf "$data.partial"
    # Written aside and renamed, so an interrupted run is not taken for finished data.
    "$build"/tools/tarvelo-sampledata "$data.partial" >/dev/null
    mv "$data.partial" "$data"
fi

log=$(mktemp -t tarvelo-instrument.XXXXXX.log)
"$build"/tools/tarvelo-instrument --root "$data" --listen 127.0.0.1 --port 30000 >"$log" 2>&1 &
instrument=$!
stop_instrument() {
    kill "$instrument" 2>/dev/null || true
    wait "$instrument" 2>/dev/null || true
    [ -z "$runtime_made" ] || rm -rf "$runtime_made"
}
trap stop_instrument EXIT

# Wait (at most 10 s) for its "Listening on" line; a busy port ends it at once.
for _ in $(seq 100); do
    grep -q "^Listening on" "$log" 2>/dev/null && break
    if ! kill -0 "$instrument" 2>/dev/null; then
        echo "run.sh: the stand-in instrument did not start:" >&2
        cat "$log" >&2
        echo "(Is another one already running on port 30000?)" >&2
        exit 1
    fi
    sleep 0.1
done
echo "Stand-in instrument on 127.0.0.1:30000 serving $data (log: $log)."
echo "In the program choose Connect, enter 127.0.0.1 and log in anonymously."

status=0
"$build"/app/tarvelo-utility "$@" || status=$?
exit "$status"
