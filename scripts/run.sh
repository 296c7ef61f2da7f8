#!/usr/bin/env bash
# Builds gim and starts it on a data folder (default: ./datos). An empty or new folder is a valid
# first start.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGIM_TESTS=OFF -DGIM_BENCH=OFF
cmake --build "$here/build/release" --target gim
data="${1:-$PWD/datos}"
mkdir -p "$data"
exec "$here/build/release/src/gim" "$data"
