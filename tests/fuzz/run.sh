#!/usr/bin/env bash
# Builds every fuzz target with clang++ (libFuzzer, ASan, UBSan) in build-fuzz and runs
# each for SECONDS over a seed corpus of the fixture files under tests/data. The corpus
# is a copy in build-fuzz: libFuzzer adds inputs to it, and tests/data stays untouched.
# Exits non-zero when a target fails to build or finds a crash, leak or timeout.
#   bash tests/fuzz/run.sh SECONDS
set -euo pipefail
seconds=${1:?usage: run.sh SECONDS}
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-fuzz"
jobs=3
if [ "${CI:-}" = true ]; then jobs=$(nproc); fi

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZT_FUZZ=ON \
    -DZT_BUILD_TESTS=OFF -DZT_SANITIZE=OFF >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j"$jobs" --target zt_fuzzers >"$build/build.log" 2>&1 ||
    { tail -n 60 "$build/build.log"; exit 1; }

# Seeds: the D64 and listing targets get the disk images, the others every fixture file.
seed_files() {
    case "$1" in
        disk41_fuzz | ls_fuzz) find "$root/tests/data" -type f -iname '*.d64' ;;
        *) find "$root/tests/data" -type f -size -1024k ;;
    esac
}

status=0
for source in "$root"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts/$name"
    mkdir -p "$corpus" "$artifacts"
    seed_files "$name" | while IFS= read -r seed; do
        target="$corpus/seed-$(cksum <"$seed" | cut -d' ' -f1)"
        case "$name" in
            ls_fuzz) { printf '*\n'; cat "$seed"; } >"$target" ;;  # a selector line, then the container
            *) cp "$seed" "$target" ;;
        esac
    done
    log="$build/$name.log"
    if "$build/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
        echo "fuzz: $name ran ${seconds}s without a fault ($(grep -c . "$log") log lines in $log)"
    else
        echo "fuzz: $name FAILED; the input is in $artifacts/:"
        tail -n 60 "$log"
        status=1
    fi
done
exit "$status"
