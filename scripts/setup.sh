#!/usr/bin/env bash
# Installs the Debian packages Kadrano needs (only when some are missing) and builds it.
#   scripts/setup.sh [BUILD_DIR [CMAKE_OPTION...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true

packages=(build-essential cmake pkg-config qt6-base-dev qt6-translations-l10n libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libssl-dev imagemagick xvfb xauth python3 clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j"$(nproc)"
