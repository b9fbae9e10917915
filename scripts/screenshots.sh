#!/bin/sh
# Pictures of the main window with each tool area open, at 100 % and 200 % screen scale,
# so that anyone can check that every control is readable and nothing overlaps.
#
#   scripts/screenshots.sh [OUTDIR]
#
# Builds test_ui in build-ui (unless KADRANO_BUILD_DIR names another build folder) and runs
# its hidden screenshot case under a virtual X server. The pictures land in OUTDIR
# (default: screenshots/ in the current folder) as 100-NN-<area>.png and 200-NN-<area>.png.
# The sample pictures lie in one fixed folder (KADRANO_SCREENSHOT_PICTURES, default
# /var/tmp/kadrano-screenshot-pictures: the folder picker shows its neighbours, and those of
# /tmp come and go), so that two runs before and after a change compare pixel for pixel:
#   for f in old/*.png; do compare -metric AE "$f" "new/${f#old/}" null:; echo; done
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${KADRANO_BUILD_DIR:-"$here/build-ui"}
out=${1:-screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ ! -x "$build/bin/test_ui" ]; then
    cmake -S "$here" -B "$build" >/dev/null
fi
cmake --build "$build" --target test_ui -j2 >/dev/null

run() {
    scale=$1
    env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$2" KADRANO_NO_EXTERNAL_EDITOR=1 \
        KADRANO_SCREENSHOT_DIR="$out" KADRANO_SCREENSHOT_PREFIX="$scale" \
        KADRANO_SCREENSHOT_PICTURES="${KADRANO_SCREENSHOT_PICTURES:-/var/tmp/kadrano-screenshot-pictures}" \
        xvfb-run -a -s "-screen 0 2400x2000x24" "$build/bin/test_ui" \
        --gtest_also_run_disabled_tests --gtest_filter='*ScreenshotsOfEveryArea*' >/dev/null
}
run 100 1
run 200 2
ls "$out"/*.png
