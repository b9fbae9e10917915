#!/usr/bin/env bash
# Orientation tagging benchmark on the shared corpora: 2,000 pictures (made when missing)
# and 20,000 pictures (when present).
#   bench/orientation/run.sh [BUILD_DIR] [DATA_DIR] [more bench_orientation options]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
data=${2:-/work/bench-data}
shift $(( $# < 2 ? $# : 2 ))
small="$data/photo-tree-2k"
if [ ! -f "$small/manifest.tsv" ] || [ ! -d "$small/tree" ]; then
  python3 "$root/../shared/bench/make-photo-tree.py" --files 2000 --out "$small/tree" \
    --bases "$small/bases"
fi
cmake --build "$build" --target bench_orientation -j2 >/dev/null
"$build/bin/bench_orientation" --tree "$small/tree" --manifest "$small/manifest.tsv" \
  --work "$data/orientation-2k" "$@"
if [ -f "$data/photo-tree/manifest.tsv" ] && [ -d "$data/photo-tree/tree" ]; then
  "$build/bin/bench_orientation" --tree "$data/photo-tree/tree" \
    --manifest "$data/photo-tree/manifest.tsv" --work "$data/orientation-20k" "$@"
fi
