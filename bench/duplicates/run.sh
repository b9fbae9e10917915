#!/usr/bin/env bash
# Duplicate search benchmark on the shared 20,000-picture corpus (made when missing).
#   bench/duplicates/run.sh [BUILD_DIR] [DATA_DIR] [more bench_duplicates options]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
data=${2:-/work/bench-data}
shift $(( $# < 2 ? $# : 2 ))
corpus="$data/photo-tree/tree"
if [ ! -f "$data/photo-tree/manifest.tsv" ] || [ ! -d "$corpus" ]; then
  python3 "$root/../shared/bench/make-photo-tree.py" --files 20000 --out "$corpus" \
    --bases "$data/photo-tree/bases"
fi
cmake --build "$build" --target bench_duplicates -j2 >/dev/null
"$build/bin/bench_duplicates" --tree "$corpus" --manifest "$data/photo-tree/manifest.tsv" \
  --work "$data/duplicates" "$@"
