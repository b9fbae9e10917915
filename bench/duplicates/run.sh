#!/usr/bin/env bash
# Duplicate search benchmark on the shared 20,000-picture corpus (made when missing), against
# a plain read loop, md5sum, jdupes, fdupes and rmlint.
#   bench/duplicates/run.sh [BUILD_DIR [more bench_duplicates options]]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
shift $(( $# < 1 ? $# : 1 ))
bench_packages jdupes fdupes rmlint
bench_build bench_duplicates
bench_corpus 20000 "$data/photo-tree"
"$build/bin/bench_duplicates" --tree "$data/photo-tree/tree" \
  --manifest "$data/photo-tree/manifest.tsv" --work "$data/duplicates" "$@"
