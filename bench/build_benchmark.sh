#!/bin/sh
# Builds the open + list benchmark against the libraries of a release build.
#   bench/build_benchmark.sh [BUILD] [IMAGE]   (default build-release, tests/data/ls/flags.d64)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
image=${2:-$root/tests/data/ls/flags.d64}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZT_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target app
libs=""
for lib in app render archive core formats fileid petscii forge; do
    libs="$libs $(find "$build" -name "lib$lib.a" | head -n 1)"
done
g++ -std=c++20 -O2 -I"$root" -I"$build/generated" -DZT_BENCH_IMAGE="\"$image\"" \
    "$root/bench/ls_benchmark.cpp" $libs $libs -lxxhash -lbenchmark -lpthread -o "$build/ls_benchmark"
echo "$build/ls_benchmark"
