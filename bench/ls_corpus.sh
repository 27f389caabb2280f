#!/bin/sh
# Builds a corpus of D64 images with cc1541 (1000 by default) and prints the
# time and peak memory of `zt ls -R` over it, next to the time `cat` needs to
# read the same files.
#   bench/ls_corpus.sh ZT [COUNT] [DIR]
set -e
zt=${1:?usage: ls_corpus.sh ZT [COUNT] [DIR]}
count=${2:-1000}
dir=${3:-$(mktemp -d)}
mkdir -p "$dir/corpus"
printf '\001\010\013\010\012\000\231\042HI\042\000\000\000' >"$dir/hello.prg"
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 40)' >"$dir/data.seq"
i=0
while [ $i -lt "$count" ]; do
    sub=$dir/corpus/$((i / 100))
    mkdir -p "$sub"
    image=$sub/disk$i.d64
    [ -f "$image" ] || cc1541 -q -n "disk $i" -i "$((i % 100)) 2a" \
        -f hello -w "$dir/hello.prg" -f data -T SEQ -w "$dir/data.seq" \
        -f "more $i" -w "$dir/hello.prg" "$image" >/dev/null
    i=$((i + 1))
done
echo "reading the files:"
/usr/bin/time -f "  %e s elapsed, %M KiB peak" sh -c "find '$dir/corpus' -name '*.d64' -exec cat {} + >/dev/null"
echo "zt ls -R:"
/usr/bin/time -f "  %e s elapsed, %M KiB peak" "$zt" ls -R "$dir/corpus" </dev/null >/dev/null
echo "zt ls -R -l:"
/usr/bin/time -f "  %e s elapsed, %M KiB peak" "$zt" ls -R -l "$dir/corpus" </dev/null >/dev/null
