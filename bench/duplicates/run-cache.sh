#!/usr/bin/env bash
# The digest cache of the duplicate search: first and repeated searches (pictures in the page
# cache and dropped from it), against the search without a cache, jdupes and a read loop, with
# peak memory and the cache's size, on corpora of the given sizes (made when missing).
#   bench/duplicates/run-cache.sh [BUILD_DIR [FILES...]]      (default: 2000 20000 100000)
# ROUNDS (default 3) rounds alternate the variants; the medians count. BASELINE may name the
# bench_duplicates of an earlier build, whose search then runs in the same rounds. The
# 100,000-picture corpus takes some 12 GB in the bench data folder.
set -euo pipefail
source "$(dirname "$0")/../common.sh"
shift $(( $# < 1 ? $# : 1 ))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(2000 20000 100000)
bench_packages jdupes
bench_build bench_duplicates
for files in "${sizes[@]}"; do
  # The 20,000-picture corpus is the one the other benchmarks share.
  dir="$data/photo-tree"
  [ "$files" -eq 20000 ] || dir="$data/photo-tree-$files"
  bench_corpus "$files" "$dir"
  echo "=== $files pictures"
  "$build/bin/bench_duplicates" --repeat --tree "$dir/tree" --manifest "$dir/manifest.tsv" \
    --work "$data/duplicates-cache-$files" --rounds "${ROUNDS:-3}" \
    ${BASELINE:+--baseline "$BASELINE"}
done
