#!/usr/bin/env bash
# Installs the Debian packages Kadrano needs (only when some are missing) and builds it.
#   scripts/setup.sh [--programs] [BUILD_DIR [CMAKE_OPTION...]]
#   scripts/setup.sh --packages-only PACKAGE...
# --programs: only what running needs, and only the programs (no tests, no benchmarks), so the
# window is up a few minutes after a fresh clone.
# --packages-only: installs the packages named that are missing, and builds nothing (the
# benchmark scripts use it for their peers).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

if [ "${1:-}" = "--packages-only" ]; then
  shift
  install_missing "$@"
  exit 0
fi

programs_only=0
if [ "${1:-}" = "--programs" ]; then
  programs_only=1
  shift
fi
build=${1:-$root/build}
shift || true

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libgl-dev
          libexiv2-dev libqt6sql6-sqlite imagemagick fonts-dejavu fonts-liberation)
if [ $programs_only -eq 0 ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libssl-dev xvfb xauth python3 clang-format)
fi
install_missing "${packages[@]}"

generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
if [ $programs_only -eq 1 ]; then
  # A build folder that already holds the tests keeps them; a new one starts without.
  options=()
  [ -f "$build/CMakeCache.txt" ] || options=(-DKADRANO_TESTS=OFF -DKADRANO_BENCH=OFF)
  # A person who only runs the program needs no debugging information, and compiling the
  # files of a library together parses the Qt headers once per batch: a much quicker first
  # build.
  [ -f "$build/CMakeCache.txt" ] || options+=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_UNITY_BUILD=ON)
  cmake -S "$root" -B "$build" "${generator[@]}" "${options[@]}" "$@"
  cmake --build "$build" -j"$(nproc)" --target programs
else
  # Every option of the test build is set here, so a folder the run command configured
  # first (Release, files compiled together) cannot leak its choices into it: the tests
  # compile one file at a time, so a missing include still shows.
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_UNITY_BUILD=OFF -DKADRANO_TESTS=ON -DKADRANO_BENCH=ON "$@"
  cmake --build "$build" -j"$(nproc)"
fi
