#!/usr/bin/env bash
# Installs, builds and starts kadrano on a picture folder; without one, on a folder of
# generated sample pictures.
#   scripts/run.sh [PICTURE_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" --programs "$root/build"

folder=${1:-}
if [ -z "$folder" ]; then
  folder=${TMPDIR:-/tmp}/kadrano-sample
  "$root/scripts/make-sample-pictures.sh" "$folder"
fi
exec "$root/build/bin/kadrano" "$folder"
