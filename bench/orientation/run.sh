#!/usr/bin/env bash
# Orientation tagging benchmark on the shared corpora: 2,000 pictures (made when missing)
# and 20,000 pictures (when present).
#   bench/orientation/run.sh [BUILD_DIR [more bench_orientation options]]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
shift $(( $# < 1 ? $# : 1 ))
bench_build bench_orientation
bench_corpus 2000 "$data/photo-tree-2k"
"$build/bin/bench_orientation" --tree "$data/photo-tree-2k/tree" \
  --manifest "$data/photo-tree-2k/manifest.tsv" --work "$data/orientation-2k" "$@"
if [ -f "$data/photo-tree/manifest.tsv" ] && [ -d "$data/photo-tree/tree" ]; then
  "$build/bin/bench_orientation" --tree "$data/photo-tree/tree" \
    --manifest "$data/photo-tree/manifest.tsv" --work "$data/orientation-20k" "$@"
fi
