#!/usr/bin/env bash
# Builds the release tree and runs every benchmark in it. Arguments go to each benchmark binary,
# e.g. scripts/bench.sh --benchmark_filter=Read
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
cd "$VS_ROOT"

build=$VS_ROOT/build/release
echo "==== Building $build ===="
vs_configure "$build" -DVS_BUILD_BENCH=ON >/dev/null
vs_build "$build"

mapfile -t benchmarks < <(find "$build/bench" -path '*/CMakeFiles' -prune -o -type f -executable \
    -print | sort)
if ((${#benchmarks[@]} == 0)); then
    echo "bench.sh: no benchmark binaries under $build/bench" >&2
    exit 1
fi
for benchmark in "${benchmarks[@]}"; do
    echo
    echo "==== ${benchmark#"$build"/} ===="
    "$benchmark" "$@"
done
