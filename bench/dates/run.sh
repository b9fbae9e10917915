#!/usr/bin/env bash
# Date tools benchmark on the shared 20,000-picture corpus.
#   bench/dates/run.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
bench_build bench_dates
bench_corpus 20000 "$data/photo-tree"
"$build/bin/bench_dates" --runs 9 "$data/photo-tree/tree"
