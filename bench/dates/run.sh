#!/usr/bin/env bash
# Date tools benchmark on the shared 20,000-picture corpus.
#   bench/dates/run.sh [BUILD_DIR] [DATA_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
data=${2:-/work/bench-data}
corpus="$data/photo-tree/tree"
if [ ! -d "$corpus" ]; then
  python3 "$root/../shared/bench/make-photo-tree.py" --files 20000 --out "$corpus" --bases "$data/photo-tree/bases"
fi
"$build/bin/bench_dates" --runs 9 "$corpus"
