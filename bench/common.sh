# Shared by the benchmark scripts (sourced, not run). Sets
#   root   the repository
#   build  the build folder (first argument of the script, default build/ of the repository)
#   data   where the generated pictures go: $KADRANO_BENCH_DATA, else the user's cache folder
# and offers
#   bench_packages PKG...          installs the Debian packages that are missing
#   bench_build TARGET...          configures the build folder when it is new, builds TARGETs
#   bench_corpus FILES DIR         makes the shared picture corpus (DIR/tree, DIR/manifest.tsv)
#                                  unless it is there already
# The benchmarks need nothing outside the repository: a fresh clone runs them with no argument.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
data=${KADRANO_BENCH_DATA:-${XDG_CACHE_HOME:-$HOME/.cache}/kadrano-bench}
mkdir -p "$data"

bench_packages() {
  "$root/scripts/setup.sh" --packages-only "$@"
}

bench_build() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    bench_packages libbenchmark-dev libssl-dev
    # A build folder of its own for the figures: optimised, without the tests.
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKADRANO_TESTS=OFF \
      -DKADRANO_BENCH=ON >/dev/null
  elif ! grep -q '^KADRANO_BENCH:BOOL=ON' "$build/CMakeCache.txt"; then
    cmake "$build" -DKADRANO_BENCH=ON >/dev/null
  fi
  cmake --build "$build" --target "$@" -j"$(nproc)" >/dev/null
}

bench_corpus() {
  local files=$1 dir=$2
  if [ ! -f "$dir/manifest.tsv" ] || [ ! -d "$dir/tree" ]; then
    bench_packages python3 imagemagick libimage-exiftool-perl
    python3 "$root/bench/make-photo-tree.py" --files "$files" --out "$dir/tree" --bases "$dir/bases"
  fi
}
