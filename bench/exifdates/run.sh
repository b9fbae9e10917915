#!/usr/bin/env bash
# "Datum -> Dateinamen" with the date taken (EXIF) on the 20,000-picture corpus, against a
# bare Exiv2 loop and exiftool, on a copy of the corpus with a date taken written into
# every picture (the shared corpus stays as it is for the other benchmarks).
#   bench/exifdates/run.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/../common.sh"
runs=${2:-5}
bench_build bench_exifdates
bench_corpus 20000 "$data/photo-tree"
bench_packages libimage-exiftool-perl

exif="$data/photo-tree-exif"
if [ ! -f "$exif/complete" ]; then
  rm -rf "$exif"
  mkdir -p "$exif"
  cp -a "$data/photo-tree/tree" "$exif/tree.part"
  # One date taken per folder, a few days apart; every second folder with its offset from
  # UTC, as phones write it. One exiftool process writes them all.
  i=0
  while IFS= read -r dir; do
    taken=$(date -u -d "@$((1104570000 + i * 1468800 + i * 3671))" '+%Y:%m:%d %H:%M:%S')
    printf '%s\n' -q -q -overwrite_original "-DateTimeOriginal=$taken" "-CreateDate=$taken"
    [ $((i % 2)) -eq 1 ] && printf '%s\n' "-OffsetTimeOriginal=+02:00"
    printf '%s\n' -ext jpg -ext jpeg "$dir" -execute
    i=$((i + 1))
  done < <(find "$exif/tree.part" -type d | sort) > "$exif/exiftool-args"
  echo "writing a date taken into every picture of $exif (a few minutes) ..."
  exiftool -@ "$exif/exiftool-args"
  mv "$exif/tree.part" "$exif/tree"
  touch "$exif/complete"
fi
"$build/bin/bench_exifdates" --runs "$runs" "$exif/tree"
