#!/usr/bin/env bash
# Builds gim with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
build="$here/build/sanitize"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGIM_SANITIZE=ON -DGIM_TESTS=ON -DGIM_BENCH=ON \
    -DGIM_WERROR=ON
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$here/scripts/lsan.supp"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900
