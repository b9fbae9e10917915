#!/usr/bin/env bash
# Collection benchmark: the shared 20,000-picture corpus and a tree of 100,000 small files.
#   bench/collect/run.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
bench_build bench_collect
bench_corpus 20000 "$data/photo-tree"
small="$data/small-tree"
[ -d "$small" ] || "$build/bin/bench_collect" --make-small "$small" 100000
"$build/bin/bench_collect" --runs 9 "$data/photo-tree/tree" "$small"
