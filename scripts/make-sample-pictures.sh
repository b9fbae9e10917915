#!/usr/bin/env bash
# Writes a small folder of generated pictures (landscape, portrait, square; a sub-folder;
# names with blanks and umlauts) for trying the tools out.
#   scripts/make-sample-pictures.sh FOLDER
set -euo pipefail
folder=${1:?folder}
mkdir -p "$folder/Urlaub 2019"
make() {  # name width height colour label
  [ -f "$folder/$1" ] || convert -size "$2x$3" "gradient:$4-white" -gravity center -pointsize 48 \
    -fill black -annotate +0+0 "$5" -quality 90 "$folder/$1"
}
make "IMG_0001.jpg" 1600 1200 skyblue "IMG 0001"
make "IMG_0002.jpg" 1200 1600 orange "Hochformat"
make "IMG_0003.jpg" 1000 1000 plum "Quadrat"
make "P1000123.jpg" 1920 1080 palegreen "P1000123"
make "2019-07-21 Strand.jpg" 1280 960 gold "Strand"
make "Müll am See.jpg" 1024 768 lightgray "Müll am See"
make "Urlaub 2019/IMG_1234.jpg" 1600 900 salmon "Urlaub 1234"
make "Urlaub 2019/IMG_1235.jpg" 900 1600 khaki "Urlaub 1235"
[ -f "$folder/IMG_0001 - Kopie.jpg" ] || cp "$folder/IMG_0001.jpg" "$folder/IMG_0001 - Kopie.jpg"
echo "$folder"
