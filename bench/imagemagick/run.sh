#!/usr/bin/env bash
# ImageMagick tool benchmarks on the shared 20,000-picture corpus (made when missing):
# the EXIF turn script's writing with header reads, and the resize script of 200 pictures
# run by kadrano-bat against the same convert commands from a shell script.
#   bench/imagemagick/run.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
bench_build bench_exif bench_resize kadrano-bat
bench_corpus 20000 "$data/photo-tree"
"$build/bin/bench_exif" --tree "$data/photo-tree/tree" --manifest "$data/photo-tree/manifest.tsv" \
  --runs 3
"$build/bin/bench_resize" --tree "$data/photo-tree/tree" --work "$data/imagemagick-resize" \
  --pictures 200 --pairs 3
