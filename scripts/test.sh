#!/usr/bin/env bash
# Checks the formatting, installs, builds with warnings as errors and runs every test
# (window tests run offscreen).
#   scripts/test.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build" -DKADRANO_WERROR=ON
"$root/scripts/format.sh" --check
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
