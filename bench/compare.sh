#!/usr/bin/env bash
# Times zt beside the tools and floors it is measured against, on a corpus of
# D64 images written by cc1541 (and G64 copies of some), and prints one table:
# each row's zt figure, the reference figure and their ratio. Times are the
# best of RUNS runs (page cache warm); per-process rows divide a loop of
# LOOPS starts of each command. Peer tools that are missing leave their row out.
# The unar rows expand a Lynx archive cbmconvert writes from the corpus and the
# 150,000-byte lh1 archive of the test fixtures.
#   bench/compare.sh [ZT] [DIR]     (ZT defaults to build/zt; DIR keeps the corpus)
#   RUNS=5 LOOPS=200 COUNT=1000 bench/compare.sh build/zt /tmp/zt-corpus
set -euo pipefail
export LC_ALL=C
zt=$(realpath "${1:-build/zt}")
lzh=$(realpath "$(dirname "$0")/../tests/data/archive/big.lzh")
dir=${2:-$(mktemp -d)}
runs=${RUNS:-5}
loops=${LOOPS:-200}
count=${COUNT:-1000}
gcr_count=$((count < 100 ? count : 100))
command -v cc1541 >/dev/null || { echo "compare.sh: cc1541 is needed to build the corpus" >&2; exit 1; }
[ -x "$zt" ] || { echo "compare.sh: no zt at $zt" >&2; exit 1; }
mkdir -p "$dir/corpus" "$dir/d64" "$dir/g64"
dir=$(realpath "$dir")
cd "$dir"

# The corpus: 3 files an image, names unique across images so that extracting
# them all into one folder renames nothing.
printf '\001\010\013\010\012\000\231\042HI\042\000\000\000' >hello.prg
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 40)' >data.seq
for ((i = 0; i < count; i++)); do
    sub=corpus/$((i / 100))
    image=$sub/disk$i.d64
    mkdir -p "$sub"
    extra=()
    if ((i < gcr_count)); then extra=(-g "g64/disk$i.g64"); fi
    [ -f "$image" ] || cc1541 -q -n "disk $i" -i "$((i % 100)) 2a" "${extra[@]}" \
        -f "hello $i" -w hello.prg -f "data $i" -T SEQ -w data.seq -f "more $i" -w hello.prg "$image" >/dev/null
    if ((i < gcr_count)); then cp "$image" d64/; fi
done
images=(corpus/*/*.d64)
one=corpus/0/disk1.d64
selectors=()
for image in "${images[@]}"; do selectors+=("$image:*"); done

# Best wall time in seconds of $runs runs of the command; `fresh` is run
# untimed before each (a new output folder).
fresh=:
best() {
    local result=
    for ((r = 0; r < runs; r++)); do
        $fresh
        local start=$EPOCHREALTIME
        "$@" >/dev/null 2>&1 </dev/null || true
        local end=$EPOCHREALTIME
        result=$(awk -v a="$start" -v b="$end" -v r="$result" 'BEGIN { t = b - a; print (r == "" || t < r) ? t : r }')
    done
    echo "$result"
}
repeat() { for ((l = 0; l < loops; l++)); do "$@"; done; }
per_loop() { awk -v t="$(best "$@")" -v n="$loops" 'BEGIN { print t / n }'; }
per_process() { per_loop repeat "$@"; }
peak_kib() { /usr/bin/time -f %M -o "$dir/peak" "$@" >/dev/null 2>&1 </dev/null || true; cat "$dir/peak"; }
new_output() { rm -rf "${out:-}"; out=$dir/out.$((++outputs)); mkdir -p "$out"; }
outputs=0

row() {  # work, zt figure, reference, reference figure, unit
    awk -v w="$1" -v a="$2" -v ref="$3" -v b="$4" -v u="$5" 'BEGIN {
        scale = (u == "ms") ? 1000 : 1; fmt = (u == "ms") ? "%.2f" : (u == "KiB" ? "%.0f" : "%.3f")
        printf "| %s | " fmt " %s | %s: " fmt " %s | %.2f× |\n", w, a * scale, u, ref, b * scale, u, a / b }'
}

echo "| work | zt | reference | ratio |"
echo "|---|---|---|---|"
row "zt ls -R of the $count" "$(best "$zt" ls -R corpus)" \
    "opening each file and reading 1 byte" "$(best find corpus -name '*.d64' -exec head -c1 {} +)" s
if command -v cbmconvert >/dev/null; then
    fresh=new_output
    cbm() { (cd "$out" && cbmconvert -N -d "${images[@]/#/$dir/}"); }
    row "zt cat of every file ($((count * 3)) entries)" "$(best "$zt" cat "${selectors[@]}")" \
        "cbmconvert -N -d extracting them" "$(best cbm)" s
    fresh=:
fi
row "zt fgrep -h deadbeef over the $count" "$(best "$zt" fgrep -h deadbeef "${images[@]}")" \
    "grep -r -c -a -F xyzzy" "$(best grep -r -c -a -F xyzzy corpus)" s
row "zt ls one.d64, per process" "$(per_process "$zt" ls "$one")" "cc1541 one.d64" "$(per_process cc1541 "$one")" ms
if [ -x /usr/bin/time ]; then
    for n in 1 100; do
        mkdir -p "first$n"
        for image in "${images[@]:0:n}"; do cp "$image" "first$n/"; done
    done
    for n in 1 100; do
        row "peak memory, zt ls -R of $n" "$(peak_kib "$zt" ls -R "first$n/")" "of $count" \
            "$(peak_kib "$zt" ls -R corpus)" KiB
    done
    row "peak memory, zt ls one.d64" "$(peak_kib "$zt" ls "$one")" "cc1541 one.d64" "$(peak_kib cc1541 "$one")" KiB
fi
row "zt ls -R of $gcr_count G64" "$(best "$zt" ls -R g64)" "zt ls -R of the $gcr_count D64 they were made from" \
    "$(best "$zt" ls -R d64)" s
if command -v disk2zip >/dev/null && command -v zip2disk >/dev/null; then
    zips=("${images[@]:0:200}")
    mkdir -p zips
    zip_zt() { for ((i = 0; i < ${#zips[@]}; i++)); do "$zt" zip -q -B "${zips[i]}" "zips/zt$i"; done; }
    zip_peer() { for ((i = 0; i < ${#zips[@]}; i++)); do disk2zip -i 532e "${zips[i]}" "zips/peer$i"; done; }
    unzip_zt() { for ((i = 0; i < ${#zips[@]}; i++)); do "$zt" unzip -q "zips/peer$i" "zips/zt$i.d64"; done; }
    unzip_peer() { for ((i = 0; i < ${#zips[@]}; i++)); do zip2disk "zips/peer$i" "zips/peer$i.d64"; done; }
    row "zt zip -B of ${#zips[@]} D64" "$(best zip_zt)" "disk2zip -i 532e" "$(best zip_peer)" s
    row "zt unzip of ${#zips[@]} sets" "$(best unzip_zt)" "zip2disk" "$(best unzip_peer)" s
fi
lynx_images=("${images[@]:0:12}")
rm -f bench.lnx
if command -v cbmconvert >/dev/null && cbmconvert -L bench.lnx -d "${lynx_images[@]}" >/dev/null 2>&1; then
    fresh=new_output
    unar_lynx() { for ((l = 0; l < loops; l++)); do "$zt" unar -q bench.lnx "$out/$l.d64"; done; }
    peer_lynx() { for ((l = 0; l < loops; l++)); do cbmconvert -D4 "$out/$l.d64" -l bench.lnx; done; }
    row "zt unar of a Lynx archive of $((${#lynx_images[@]} * 3)) files, per process" "$(per_loop unar_lynx)" \
        "cbmconvert -D4 -l into a D64" "$(per_loop peer_lynx)" ms
    fresh=:
fi
if command -v lhasa >/dev/null; then
    fresh=new_output
    unar_lzh() { for ((l = 0; l < loops; l++)); do "$zt" unar -q "$lzh" "$out/$l.d64"; done; }
    peer_lzh() { for ((l = 0; l < loops; l++)); do lhasa -xqw="$out/$l" "$lzh"; done; }
    row "zt unar of a 150,000-byte lh1 file, per process" "$(per_loop unar_lzh)" "lhasa -x" "$(per_loop peer_lzh)" ms
    fresh=:
fi
