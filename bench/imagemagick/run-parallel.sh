#!/usr/bin/env bash
# The resize, EXIF turn and caption scripts of 24 camera-size pictures (made once in the
# benchmark data folder): kadrano-bat with one job and with one per core, against the same
# ImageMagick lines one by one and through GNU parallel, with and without
# MAGICK_THREAD_LIMIT=1, alternating, medians. Extra arguments go to bench_parallel
# (--rounds N, --jobs N, --tools resize,exif,caption).
#   bench/imagemagick/run-parallel.sh [BUILD_DIR [OPTION...]]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
shift || true
bench_packages parallel imagemagick libimage-exiftool-perl fonts-liberation
bench_build bench_parallel kadrano-bat
echo "load: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
"$build/bin/bench_parallel" --pictures "$data/imagemagick-parallel/pictures" \
  --work "$data/imagemagick-parallel/work" --make 24 "$@"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
