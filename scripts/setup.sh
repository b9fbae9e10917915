#!/usr/bin/env bash
# Installs the Debian packages Kadrano needs (only when some are missing) and builds it.
#   scripts/setup.sh [--programs] [BUILD_DIR [CMAKE_OPTION...]]
# --programs: only what running needs, and only the programs (no tests, no benchmarks), so the
# window is up a few minutes after a fresh clone.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
programs_only=0
if [ "${1:-}" = "--programs" ]; then
  programs_only=1
  shift
fi
build=${1:-$root/build}
shift || true

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libgl-dev
          imagemagick fonts-dejavu fonts-liberation)
if [ $programs_only -eq 0 ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libssl-dev xvfb xauth python3 clang-format)
fi
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

generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
if [ $programs_only -eq 1 ]; then
  # A build folder that already holds the tests keeps them; a new one starts without.
  options=()
  [ -f "$build/CMakeCache.txt" ] || options=(-DKADRANO_TESTS=OFF -DKADRANO_BENCH=OFF)
  # A person who only runs the program needs no debugging information, and compiling the
  # files of a library together parses the Qt headers once per batch: a much quicker first
  # build. The test build keeps one file at a time, so a missing include still shows.
  [ -f "$build/CMakeCache.txt" ] || options+=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_UNITY_BUILD=ON)
  cmake -S "$root" -B "$build" "${generator[@]}" "${options[@]}" "$@"
  cmake --build "$build" -j"$(nproc)" --target programs
else
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKADRANO_TESTS=ON -DKADRANO_BENCH=ON "$@"
  cmake --build "$build" -j"$(nproc)"
fi
