#!/usr/bin/env bash
# Builds the fuzz targets for libFuzzer with clang (core library instrumented, address and
# undefined-behaviour sanitizers on) into build-fuzz/, and runs each target for SECONDS
# (default 90) from its built-in seeds, its regression inputs and the corpus kept from
# earlier runs. Non-zero when a target finds a fault; the input is kept under
# build-fuzz/findings/ and belongs in fuzz/regressions/<target>/ once mended.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-90}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_stream fuzz_tiff)
if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz.sh: clang++ not found; skipped"
    exit 0
fi
dir=build-fuzz
opts=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTARVELO_LIBFUZZER=ON -DTARVELO_SANITIZE=ON
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELO_BUILD_TESTS=OFF -DTARVELO_BUILD_BENCH=OFF)
command -v ccache >/dev/null 2>&1 && opts+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    seeds="$dir/seeds/$target"
    findings="$dir/findings"
    mkdir -p "$corpus" "$seeds" "$findings"
    regressions="fuzz/regressions/$target"
    dirs=("$corpus" "$seeds")
    [ -d "$regressions" ] && dirs+=("$regressions")
    # Each input gets bounded time and memory: a hang or a huge allocation is a finding.
    limits=(-timeout=10 -rss_limit_mb=2048)
    [ "$target" = fuzz_tiff ] && limits=(-timeout=5 -rss_limit_mb=1024 -malloc_limit_mb=512)
    echo "== $target: $seconds s"
    if ! TARVELO_FUZZ_SEED_DIR="$seeds" "$dir/fuzz/$target" "${limits[@]}" -max_total_time="$seconds" \
            -print_final_stats=1 -artifact_prefix="$findings/$target-" "${dirs[@]}" 2>"$dir/$target.log"; then
        status=1
        echo "$target found a fault; see $dir/$target.log and $findings/"
    fi
    grep -E "^#[0-9]+.*(INITED|DONE)|stat::number_of_executed_units|stat::peak_rss_mb|cov:" "$dir/$target.log" \
        | grep -E "INITED|DONE|stat::" || true
done
exit $status
