#!/usr/bin/env bash
# Times zt beside the tools and floors it is measured against, on a corpus of
# D64 images written by cc1541 (and G64 copies of some), and prints one table:
# each row's zt figure, the reference figure and their ratio. Times are the
# best of RUNS runs (page cache warm); per-process rows divide a loop of
# LOOPS starts of each command. Peer tools that are missing leave their row out.
# The unar rows expand a Lynx archive cbmconvert writes from the corpus and the
# 150,000-byte lh1 archive of the test fixtures. The hard-disk rows read a DHD
# and an IDE64 image padded to 512 MiB (and, for peak memory, to 4 GiB) with
# truncate, so they take no room on disk; a copy of the IDE64 one has a partition
# as large as the image, which cat writes.
# With --baseline OLD every row also runs the zt OLD, and the table gains its
# column and the ratio of the two: a change is measured beside main.
#   bench/compare.sh [ZT] [DIR] [--baseline OLD]   (ZT defaults to build/zt; DIR keeps the corpus)
#   RUNS=5 LOOPS=200 COUNT=1000 bench/compare.sh build/zt /tmp/zt-corpus --baseline ../main/build/zt
set -euo pipefail
export LC_ALL=C
here=$(realpath "$(dirname "$0")")
positional=()
baseline=
while (($#)); do
    case $1 in
        --baseline) baseline=$(realpath "${2:?compare.sh: --baseline needs a zt}"); shift 2 ;;
        *) positional+=("$1"); shift ;;
    esac
done
zt=$(realpath "${positional[0]:-build/zt}")
lzh=$here/../tests/data/archive/big.lzh
dir=${positional[1]:-$(mktemp -d)}
runs=${RUNS:-5}
loops=${LOOPS:-200}
count=${COUNT:-1000}
gcr_count=$((count < 100 ? count : 100))
command -v cc1541 >/dev/null || { echo "compare.sh: cc1541 is needed to build the corpus" >&2; exit 1; }
for z in "$zt" $baseline; do [ -x "$z" ] || { echo "compare.sh: no zt at $z" >&2; exit 1; }; done
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
peak_kib() { /usr/bin/time -f %M -o "$dir/peak" "$@" >/dev/null 2>&1 </dev/null || true; tail -n1 "$dir/peak"; }
new_output() { rm -rf "${out:-}"; out=$dir/out.$((++outputs)); mkdir -p "$out"; }
outputs=0

# The figure of one zt: `figure` is evaluated with $z naming it.
zt_figure() { local z=$1; eval "$2"; }
format() {  # value, unit
    awk -v a="$1" -v u="$2" 'BEGIN {
        if (a == "") { printf "—"; exit }
        scale = (u == "ms") ? 1000 : 1; fmt = (u == "ms") ? "%.2f" : (u == "KiB" ? "%.0f" : "%.3f")
        printf fmt " %s", a * scale, u }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) printf "—"; else printf "%.2f×", a / b }'; }
# work, zt figure (an expression of $z), reference, reference figure, unit; a row
# whose baseline figure is "-" does not run the baseline (it cannot: too large).
row() {
    local new old= ref
    new=$(zt_figure "$zt" "$2")
    ref=$(format "$4" "$5")
    if [ -z "$baseline" ]; then
        echo "| $1 | $(format "$new" "$5") | $3: $ref | $(ratio "$new" "$4") |"
        return
    fi
    [ "${6:-}" = - ] || old=$(zt_figure "$baseline" "$2")
    echo "| $1 | $(format "$new" "$5") | $(format "$old" "$5") | $(ratio "$new" "$old") | $3: $ref | $(ratio "$new" "$4") |"
}

if [ -n "$baseline" ]; then
    echo "| work | zt | baseline | ratio | reference | ratio |"
    echo "|---|---|---|---|---|---|"
else
    echo "| work | zt | reference | ratio |"
    echo "|---|---|---|---|"
fi
row "zt ls -R of the $count" 'best "$z" ls -R corpus' \
    "opening each file and reading 1 byte" "$(best find corpus -name '*.d64' -exec head -c1 {} +)" s
if command -v cbmconvert >/dev/null; then
    fresh=new_output
    cbm() { (cd "$out" && cbmconvert -N -d "${images[@]/#/$dir/}"); }
    row "zt cat of every file ($((count * 3)) entries)" 'best "$z" cat "${selectors[@]}"' \
        "cbmconvert -N -d extracting them" "$(best cbm)" s
    fresh=:
fi
row "zt fgrep -h deadbeef over the $count" 'best "$z" fgrep -h deadbeef "${images[@]}"' \
    "grep -r -c -a -F xyzzy" "$(best grep -r -c -a -F xyzzy corpus)" s
row "zt ls one.d64, per process" 'per_process "$z" ls "$one"' "cc1541 one.d64" "$(per_process cc1541 "$one")" ms
if [ -x /usr/bin/time ]; then
    for n in 1 100; do
        mkdir -p "first$n"
        for image in "${images[@]:0:n}"; do cp "$image" "first$n/"; done
    done
    for n in 1 100; do
        row "peak memory, zt ls -R of $n" 'peak_kib "$z" ls -R "first$n/"' "zt ls -R of $count" \
            "$(peak_kib "$zt" ls -R corpus)" KiB
    done
    row "peak memory, zt ls one.d64" 'peak_kib "$z" ls "$one"' "cc1541 one.d64" "$(peak_kib cc1541 "$one")" KiB
fi
row "zt ls -R of $gcr_count G64" 'best "$z" ls -R g64' "zt ls -R of the $gcr_count D64 they were made from" \
    "$(best "$zt" ls -R d64)" s

# Hard-disk images: the test fixtures' DHD and IDE64 image padded with truncate. A 4 GiB
# image is measured for peak memory with the new zt alone (one holding it whole needs 9 GB).
python3 -B "$here/../tests/data/cmd/make_large_images.py" hard >/dev/null
for size in 512M 4G; do
    cp hard/big.dhd "big$size.dhd" && truncate -s "$size" "big$size.dhd"
    cp "$here/../tests/data/cmd/x.hdd" "big$size.hdd" && truncate -s "$size" "big$size.hdd"
    # A copy whose partition PART1 ends where the image does (its end sector at byte 1045).
    cp "big$size.hdd" "part$size.hdd"
    python3 -c 'import os, sys; f = open(sys.argv[1], "r+b"); f.seek(1045)
f.write((os.path.getsize(sys.argv[1]) // 512 - 1).to_bytes(3, "big"))' "part$size.hdd"
done
for kind in dhd hdd; do
    image=big512M.$kind
    grep_time=$(best grep -c -a -F HELLO "$image")
    row "zt fgrep -c -a HELLO of a 512 MiB ${kind^^}" 'best "$z" fgrep -c -a HELLO "$image"' \
        "grep -c -a -F HELLO" "$grep_time" s
    row "zt bam of a 512 MiB ${kind^^}" 'best "$z" bam "$image"' "grep -c -a -F HELLO" "$grep_time" s
    if [ -x /usr/bin/time ]; then
        grep_peak=$(peak_kib grep -c -a -F HELLO "$image")
        for command in "fgrep -c -a HELLO" bam "ls -D"; do
            row "peak memory, zt $command of a 512 MiB ${kind^^}" 'peak_kib "$z" $command "$image"' \
                "grep -c -a -F HELLO" "$grep_peak" KiB
        done
        # Beside the 512 MiB figure: flat in the image's size (grep of 4 GiB would need 8 GB).
        for command in "fgrep -c -a HELLO" bam; do
            row "peak memory, zt $command of a 4 GiB ${kind^^}" 'peak_kib "$z" $command "big4G.$kind"' \
                "of the 512 MiB one" "$(peak_kib "$zt" $command "$image")" KiB -
        done
    fi
done
if [ -x /usr/bin/time ]; then
    row "peak memory, zt cat of a 512 MiB IDE64 partition" 'peak_kib "$z" cat part512M.hdd:PART1' \
        "grep -c -a -F HELLO" "$(peak_kib grep -c -a -F HELLO part512M.hdd)" KiB
    row "peak memory, zt cat of a 4 GiB IDE64 partition" 'peak_kib "$z" cat part4G.hdd:PART1' \
        "of the 512 MiB one" "$(peak_kib "$zt" cat part512M.hdd:PART1)" KiB -
fi

if command -v disk2zip >/dev/null && command -v zip2disk >/dev/null; then
    zips=("${images[@]:0:200}")
    mkdir -p zips
    zip_zt() { for ((i = 0; i < ${#zips[@]}; i++)); do "$1" zip -q -B "${zips[i]}" "zips/zt$i"; done; }
    zip_peer() { for ((i = 0; i < ${#zips[@]}; i++)); do disk2zip -i 532e "${zips[i]}" "zips/peer$i"; done; }
    unzip_zt() { for ((i = 0; i < ${#zips[@]}; i++)); do "$1" unzip -q "zips/peer$i" "zips/zt$i.d64"; done; }
    unzip_peer() { for ((i = 0; i < ${#zips[@]}; i++)); do zip2disk "zips/peer$i" "zips/peer$i.d64"; done; }
    row "zt zip -B of ${#zips[@]} D64" 'best zip_zt "$z"' "disk2zip -i 532e" "$(best zip_peer)" s
    row "zt unzip of ${#zips[@]} sets" 'best unzip_zt "$z"' "zip2disk" "$(best unzip_peer)" s
fi
lynx_images=("${images[@]:0:12}")
rm -f bench.lnx
if command -v cbmconvert >/dev/null && cbmconvert -L bench.lnx -d "${lynx_images[@]}" >/dev/null 2>&1; then
    fresh=new_output
    unar_lynx() { for ((l = 0; l < loops; l++)); do "$1" unar -q bench.lnx "$out/$l.d64"; done; }
    peer_lynx() { for ((l = 0; l < loops; l++)); do cbmconvert -D4 "$out/$l.d64" -l bench.lnx; done; }
    row "zt unar of a Lynx archive of $((${#lynx_images[@]} * 3)) files, per process" 'per_loop unar_lynx "$z"' \
        "cbmconvert -D4 -l into a D64" "$(per_loop peer_lynx)" ms
    fresh=:
fi
if command -v lhasa >/dev/null; then
    fresh=new_output
    unar_lzh() { for ((l = 0; l < loops; l++)); do "$1" unar -q "$lzh" "$out/$l.d64"; done; }
    peer_lzh() { for ((l = 0; l < loops; l++)); do lhasa -xqw="$out/$l" "$lzh"; done; }
    row "zt unar of a 150,000-byte lh1 file, per process" 'per_loop unar_lzh "$z"' "lhasa -x" "$(per_loop peer_lzh)" ms
    fresh=:
fi
