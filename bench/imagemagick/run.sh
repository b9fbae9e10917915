#!/usr/bin/env bash
# ImageMagick tool benchmarks on the shared 20,000-picture corpus (made when missing):
# the EXIF turn script's writing with header reads, and the resize script of 200 pictures
# run by kadrano-bat against the same convert commands from a shell script.
#   bench/imagemagick/run.sh [BUILD_DIR] [DATA_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
data=${2:-/work/bench-data}
corpus="$data/photo-tree/tree"
if [ ! -f "$data/photo-tree/manifest.tsv" ] || [ ! -d "$corpus" ]; then
  python3 "$root/../shared/bench/make-photo-tree.py" --files 20000 --out "$corpus" \
    --bases "$data/photo-tree/bases"
fi
cmake --build "$build" --target bench_exif bench_resize kadrano-bat -j2 >/dev/null
"$build/bin/bench_exif" --tree "$corpus" --manifest "$data/photo-tree/manifest.tsv" --runs 3
"$build/bin/bench_resize" --tree "$corpus" --work "$data/imagemagick-resize" --pictures 200 --pairs 3
