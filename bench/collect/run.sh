#!/usr/bin/env bash
# Collection benchmark: the shared 20,000-picture corpus and a tree of 100,000 small files.
#   bench/collect/run.sh [BUILD_DIR] [DATA_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
data=${2:-/work/bench-data}
corpus="$data/photo-tree/tree"
if [ ! -d "$corpus" ]; then
  python3 "$root/../shared/bench/make-photo-tree.py" --files 20000 --out "$corpus" --bases "$data/photo-tree/bases"
fi
small="$data/small-tree"
[ -d "$small" ] || "$build/bin/bench_collect" --make-small "$small" 100000
"$build/bin/bench_collect" --runs 9 "$corpus" "$small"
