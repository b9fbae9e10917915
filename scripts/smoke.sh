#!/usr/bin/env bash
# What a new user does first: the README's run command, from its own build folder, on the
# sample pictures. The window must come up, stay up and end cleanly when asked (SIGTERM,
# as at logout). Runs offscreen unless a display is chosen.
#   scripts/smoke.sh [BUILD_DIR]      (default build-run/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-run}
mkdir -p "$build"
build=$(cd "$build" && pwd)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

KADRANO_BUILD_DIR=$build "$root/scripts/run.sh" >"$log" 2>&1 &
pid=$!  # run.sh becomes the program (exec), so this is the window's process

# The build comes first; the program is up once the process is kadrano itself.
while [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$build/bin/kadrano" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    cat "$log"
    echo "smoke: the run command ended before the window came up" >&2
    exit 1
  fi
  sleep 0.5
done
echo "smoke: the window is up, built in $SECONDS s"
sleep 5
if ! kill -0 "$pid" 2>/dev/null; then
  cat "$log"
  echo "smoke: the window ended on its own within 5 s" >&2
  exit 1
fi
kill -TERM "$pid"
rc=0
timeout 20 tail --pid="$pid" -f /dev/null || { echo "smoke: no end 20 s after SIGTERM" >&2; kill -KILL "$pid"; exit 1; }
wait "$pid" || rc=$?
if [ "$rc" -ne 0 ]; then
  cat "$log"
  echo "smoke: the window ended with status $rc" >&2
  exit 1
fi
echo "smoke: the window ended cleanly"
