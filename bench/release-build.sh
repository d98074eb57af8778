# Sourced by the whole-process benchmarks: builds VLMR and bench/map_watch in
# the linux-release preset, in build/bench-release, and exports their paths.
# With VLMR=/path/to/VLMR set, that program is measured and not built.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/bench-release"
targets=(map_watch)
[[ -n "${VLMR:-}" ]] || targets+=(VLMR)
(cd "$root" && cmake --preset linux-release -B "$build" -DVELMORA_BUILD_TESTS=OFF >/dev/null)
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
export VLMR=${VLMR:-$build/VLMR} MAP_WATCH=$build/bench/map_watch PYTHONDONTWRITEBYTECODE=1
