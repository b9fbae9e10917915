#!/usr/bin/env bash
# Installs, builds and starts kadrano on a picture folder; without one, on a folder of
# generated sample pictures.
#   scripts/run.sh [PICTURE_FOLDER]
# The build goes to build/ (KADRANO_BUILD_DIR names another folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KADRANO_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" --programs "$build"

folder=${1:-}
if [ -z "$folder" ]; then
  folder=${TMPDIR:-/tmp}/kadrano-sample
  "$root/scripts/make-sample-pictures.sh" "$folder"
fi
exec "$build/bin/kadrano" "$folder"
