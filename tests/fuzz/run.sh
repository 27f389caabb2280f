#!/usr/bin/env bash
# Builds every fuzz target with clang++ (libFuzzer, ASan, UBSan) in build-fuzz and runs
# each for SECONDS over a seed corpus of the fixture files under tests/data, as many side by
# side as there are cores (ZT_FUZZ_JOBS sets another number). The corpus is a copy in
# build-fuzz: libFuzzer adds inputs to it, and tests/data stays untouched.
# Exits non-zero when a target fails to build or finds a crash, leak or timeout.
#   bash tests/fuzz/run.sh SECONDS
set -euo pipefail
seconds=${1:?usage: run.sh SECONDS}
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-fuzz"
jobs=3
if [ "${CI:-}" = true ]; then jobs=$(nproc); fi
fuzz_jobs=${ZT_FUZZ_JOBS:-$(nproc)}

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZT_FUZZ=ON \
    -DZT_BUILD_TESTS=OFF -DZT_SANITIZE=OFF >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
built=$SECONDS
cmake --build "$build" -j"$jobs" --target zt_fuzzers >"$build/build.log" 2>&1 ||
    { tail -n 60 "$build/build.log"; exit 1; }
echo "fuzz: the targets built in $((SECONDS - built)) s"

# Seeds: the D64 and listing targets get the disk images, the others every fixture file.
seed_files() {
    case "$1" in
        disk41_fuzz | ls_fuzz) find "$root/tests/data" -type f -iname '*.d64' ;;
        *) find "$root/tests/data" -type f -size -1024k ;;
    esac
}

# One target over its corpus; its verdict goes to $build/NAME.verdict.
fuzz_target() {
    local name=$1 corpus="$build/corpus/$1" artifacts="$build/artifacts/$1" log="$build/$1.log"
    mkdir -p "$corpus" "$artifacts"
    seed_files "$name" | while IFS= read -r seed; do
        target="$corpus/seed-$(cksum <"$seed" | cut -d' ' -f1)"
        case "$name" in
            ls_fuzz) { printf '*\n'; cat "$seed"; } >"$target" ;;  # a selector line, then the container
            *) cp "$seed" "$target" ;;
        esac
    done
    if "$build/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
        echo "fuzz: $name ran ${seconds}s without a fault ($(grep -c . "$log") log lines in $log)" >"$build/$name.verdict"
    else
        { echo "fuzz: $name FAILED; the input is in $artifacts/:"; tail -n 60 "$log"; } >"$build/$name.verdict"
        return 1
    fi
}

names=()
running=0
for source in "$root"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$source" .cpp)
    names+=("$name")
    rm -f "$build/$name.verdict"
    if [ "$running" -ge "$fuzz_jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    fuzz_target "$name" &
    running=$((running + 1))
done
wait || true

status=0
for name in "${names[@]}"; do
    if [ -f "$build/$name.verdict" ]; then
        cat "$build/$name.verdict"
        grep -q '^fuzz: [^ ]* FAILED' "$build/$name.verdict" && status=1
    else
        echo "fuzz: $name FAILED; it ended without a verdict (see $build/$name.log)"
        status=1
    fi
done
exit "$status"
