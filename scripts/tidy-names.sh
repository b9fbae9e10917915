#!/usr/bin/env bash
# Checks the names in the C++ files a change touches: functions and methods camelCase,
# types CamelCase, with the exceptions listed in .clang-tidy (clang-tidy's
# readability-identifier-naming). Unchanged files are not looked at, so older code is
# renamed when it is next worked on.
#   scripts/tidy-names.sh [BASE] [BUILD_DIR]     BASE: a commit (default main)
# Needs the build folder's compile_commands.json (CMake writes it); builds the generated moc
# files first. Exit status 1 when a name breaks the rule.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base=${1:-main}
build=${2:-$root/build}
cd "$root"
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi

mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h' |
  grep -v '_win\.cpp$' || true)
[ ${#changed[@]} -eq 0 ] && { echo "no changed C++ files against $base"; exit 0; }

# Sources to run on: each changed .cpp, and for a changed header the .cpp beside it (or,
# without one, every source that includes it by name).
sources=()
headers=()
for f in "${changed[@]}"; do
  case "$f" in
    *.cpp) sources+=("$f") ;;
    *.h)
      headers+=("$f")
      if [ -f "${f%.h}.cpp" ]; then
        sources+=("${f%.h}.cpp")
      else
        mapfile -t users < <(git grep -l "include \".*$(basename "$f")\"" -- '*.cpp' |
          grep -v '_win\.cpp$' | head -n 3 || true)
        sources+=("${users[@]}")
      fi
      ;;
  esac
done
mapfile -t sources < <(printf '%s\n' "${sources[@]}" | sort -u)

# The generated moc files must exist before their sources can be read.
cmake --build "$build" --target kadrano_ui kadrano-bat -j2 >/dev/null

# GCC's precompiled headers cannot be read by clang: the same commands, with the headers
# included as text instead.
db=$(mktemp -d)
trap 'rm -rf "$db"' EXIT
python3 - "$build/compile_commands.json" "$db" <<'PY'
import json, os, re, shutil, sys
src, out = sys.argv[1], sys.argv[2]
entries = json.load(open(src))
for i, e in enumerate(entries):
    def repl(m):
        pch = m.group(1)
        copy = os.path.join(out, "pch%d" % (hash(pch) & 0xffffff), "cmake_pch.hxx")
        if not os.path.exists(copy):
            os.makedirs(os.path.dirname(copy), exist_ok=True)
            shutil.copy(pch, copy)
        return "-include " + copy
    e["command"] = re.sub(r"-include (\S+cmake_pch\.hxx)", repl,
                          e["command"].replace("-Winvalid-pch", ""))
json.dump(entries, open(os.path.join(out, "compile_commands.json"), "w"))
PY

filter='^$'
if [ ${#headers[@]} -gt 0 ]; then
  filter="($(printf '%s\n' "${headers[@]}" | sed 's/[.]/\\./g' | paste -sd'|'))\$"
fi
status=0
for s in "${sources[@]}"; do
  clang-tidy -quiet -p "$db" --checks='-*,readability-identifier-naming' \
    --warnings-as-errors='*' --header-filter="$filter" "$s" 2>/dev/null || status=1
done
exit $status
