#!/usr/bin/env bash
# Formats every C++ file of the repository with its .clang-format.
#   scripts/format.sh           rewrites the files
#   scripts/format.sh --check   changes nothing; fails and names the files that are not
#                               formatted (CI runs this)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
