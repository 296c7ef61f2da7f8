#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, all at once, under libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from the inputs kept under tests/fuzz/.
# Inputs that reach code the kept ones do not are merged into tests/fuzz/<target>; an input that crashes,
# trips a sanitizer or runs longer than 10 s is left in build/fuzz/findings/<target>/ and fails the run.
#
# Usage: scripts/fuzz.sh SECONDS [records|rtf|text|import|selector|web]...
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [[ $# -lt 1 || ! "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [target]..." >&2
    exit 2
fi
seconds="$1"
shift
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(records rtf text import selector web)

"$here/scripts/install-deps.sh" clang libclang-rt-14-dev
build="$here/build/fuzz"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DGIM_FUZZ=ON -DGIM_TESTS=OFF -DGIM_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target $(printf 'gim_fuzz_%s ' "${targets[@]}")

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$here/scripts/lsan.supp"

for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t" "$build/findings/$t" "$here/tests/fuzz/$t"
    "$build/fuzz/gim_fuzz_$t" "$build/corpus/$t" "$here/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=6144 -print_final_stats=1 -artifact_prefix="$build/findings/$t/" \
        >"$build/fuzz-$t.log" 2>&1 &
done
wait || true

status=0
printf '%-9s %12s %8s %8s %10s  %s\n' target runs exec/s cov features findings
for t in "${targets[@]}"; do
    log="$build/fuzz-$t.log"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    findings=$(find "$build/findings/$t" -type f | wc -l)
    printf '%-9s %12s %8s %8s %10s  %s\n' "$t" "${runs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$findings"
    [[ "$findings" -eq 0 ]] || status=1
    # Keep what reaches new code: the kept corpus first, so that only inputs adding coverage join it.
    "$build/fuzz/gim_fuzz_$t" -merge=1 "$here/tests/fuzz/$t" "$build/corpus/$t" >"$build/merge-$t.log" 2>&1 ||
        status=1
done
exit "$status"
