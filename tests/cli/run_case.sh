#!/usr/bin/env bash
# run_case.sh ZT CASE: runs zt with the arguments of CASE.args (one per line) in a
# scratch copy of tests/data, feeding CASE.stdin when present, and compares standard
# output, the error stream and the exit status with CASE.stdout, CASE.stderr and
# CASE.rc (a missing file means empty output, exit status 0).
# ZT_UPDATE_GOLDEN=1 writes the actual results as the new expectations. Runs in the
# C.UTF-8 locale, so display widths do not depend on the caller's environment.
set -u
export LC_ALL=C.UTF-8
zt=$1
case=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$here/../data/." "$work/"
args=()
[ -s "$case.args" ] && mapfile -t args < "$case.args"
stdin=/dev/null
[ -f "$case.stdin" ] && stdin=$case.stdin
(cd "$work" && exec -a zt "$zt" "${args[@]}" <"$stdin" >"$work/.stdout" 2>"$work/.stderr")
echo $? > "$work/.rc"

if [ "${ZT_UPDATE_GOLDEN:-}" = 1 ]; then
  for part in stdout stderr; do
    if [ -s "$work/.$part" ]; then cp "$work/.$part" "$case.$part"; else rm -f "$case.$part"; fi
  done
  if [ "$(cat "$work/.rc")" = 0 ]; then rm -f "$case.rc"; else cp "$work/.rc" "$case.rc"; fi
  exit 0
fi

status=0
for part in stdout stderr rc; do
  expected=$case.$part
  if [ ! -f "$expected" ]; then
    expected=/dev/null
    [ "$part" = rc ] && { expected=$work/.rc0; echo 0 > "$expected"; }
  fi
  if ! cmp -s "$expected" "$work/.$part"; then
    echo "--- $part differs for $(basename "$case")"
    diff -u --label expected --label actual "$expected" "$work/.$part" | head -n 60
    status=1
  fi
done
exit $status
