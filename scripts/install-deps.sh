#!/usr/bin/env bash
# Installs what gim needs to build, run and test on Debian 12, and the further packages named as
# arguments. Skips apt-get when all is there.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev libgl1-mesa-dev libjpeg-dev
          libarchive-dev libcurl4-openssl-dev python3-pyftpdlib
          libexpected-dev googletest libgtest-dev libgmock-dev libbenchmark-dev poppler-utils "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
