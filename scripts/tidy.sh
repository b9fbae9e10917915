#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the program's sources. Too slow for
# every CI run; run it before a larger change lands.
#   scripts/tidy.sh [BUILD_DIR] [FILE...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# The generated moc files must exist before their sources can be read.
cmake --build "$build" --target kadrano_ui kadrano-bat -j"$(nproc)" >/dev/null
if [ $# -eq 0 ]; then
  mapfile -t files < <(cd "$root" && git ls-files 'src/*.cpp' | grep -v '_win\.cpp$')
  set -- "${files[@]/#/$root/}"
fi
run-clang-tidy -quiet -p "$build" "$@"
