#!/usr/bin/env bash
# Builds the benchmarks without sanitizers, runs them (all, or those the gim_bench arguments given
# choose) and rewrites the figure and ratio columns of the README's benchmark table from that run, so
# that the table is what the benchmarks printed. The run's JSON stays in build/bench/bench-run.json;
# `scripts/bench-table.sh --from FILE` rewrites the table from a run kept earlier.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build/bench"
json="$build/bench-run.json"
if [[ "${1:-}" == "--from" ]]; then
    json="$2"
else
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGIM_TESTS=OFF >/dev/null
    cmake --build "$build" --target gim_bench
    QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/bench/gim_bench" \
        --benchmark_out="$json" --benchmark_out_format=json "$@"
fi
python3 "$here/scripts/bench_table.py" "$json" "$here/README.md"
