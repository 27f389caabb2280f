#!/usr/bin/env bash
# run_case.sh ZT CASE [DATA]: runs zt with the arguments of CASE.args (one per line) in
# DATA (tests/data when not given), feeding CASE.stdin when present, and compares standard
# output, the error stream and the exit status with CASE.stdout, CASE.stderr and CASE.rc (a
# missing file means empty output, exit status 0).
# A case with a CASE.files/ folder writes files: it runs in a scratch copy of tests/data,
# and afterwards every file the run created or changed must be in CASE.files/ at the
# same relative path with the same bytes, and every file there must have been written.
# A case with CASE.files.sha256 instead (sha256sum lines, for outputs too large to keep)
# checks the written files by their digests.
# ZT_UPDATE_GOLDEN=1 writes the actual results as the new expectations (CASE.files/ or
# CASE.files.sha256 included when it exists). Runs in the C.UTF-8 locale, so display widths do not depend
# on the caller's environment.
set -u
export LC_ALL=C.UTF-8
zt=$1
case=$2
data=$(cd "${3:-$(dirname "$0")/../data}" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

workdir=$data
writes=false
digests=false
[ -f "$case.files.sha256" ] && digests=true
if [ -d "$case.files" ] || $digests; then
  writes=true
  workdir=$out/work
  mkdir -p "$workdir"
  cp -R "$data/." "$workdir/"
fi
args=()
[ -s "$case.args" ] && mapfile -t args < "$case.args"
stdin=/dev/null
[ -f "$case.stdin" ] && stdin=$case.stdin
(cd "$workdir" && exec -a zt "$zt" "${args[@]}" <"$stdin" >"$out/stdout" 2>"$out/stderr")
echo $? > "$out/rc"

# The files the run created or changed, by a digest listing of the tree before and after:
# their listing lines in $out/files.sha256 and, for a CASE.files/ folder, the files
# themselves copied into $out/written.
listing() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum); }
if $writes; then
  listing "$data" > "$out/before.sha256"
  listing "$workdir" | awk 'NR == FNR { before[$0] = 1; next } !($0 in before)' "$out/before.sha256" - \
    > "$out/files.sha256"
  if ! $digests; then
    mkdir -p "$out/written"
    cut -c67- "$out/files.sha256" | (cd "$workdir" && tr '\n' '\0' | xargs -0 -r cp --parents -t "$out/written")
  fi
fi

if [ "${ZT_UPDATE_GOLDEN:-}" = 1 ]; then
  for part in stdout stderr; do
    if [ -s "$out/$part" ]; then cp "$out/$part" "$case.$part"; else rm -f "$case.$part"; fi
  done
  if [ "$(cat "$out/rc")" = 0 ]; then rm -f "$case.rc"; else cp "$out/rc" "$case.rc"; fi
  if $digests; then
    cp "$out/files.sha256" "$case.files.sha256"
  elif $writes; then
    rm -rf "$case.files"
    cp -R "$out/written" "$case.files"
  fi
  exit 0
fi

status=0
echo 0 > "$out/rc0"
for part in stdout stderr rc; do
  expected=$case.$part
  if [ ! -f "$expected" ]; then
    expected=/dev/null
    [ "$part" = rc ] && expected=$out/rc0
  fi
  if ! cmp -s "$expected" "$out/$part"; then
    echo "--- $part differs for $(basename "$case")"
    diff -u --label expected --label actual "$expected" "$out/$part" | head -n 60
    status=1
  fi
done
if $digests; then
  if ! cmp -s "$case.files.sha256" "$out/files.sha256"; then
    echo "--- written files differ for $(basename "$case")"
    diff -u --label expected --label actual "$case.files.sha256" "$out/files.sha256" | head -n 20
    status=1
  fi
elif $writes && ! diff -r "$case.files" "$out/written" >"$out/files.diff"; then
  echo "--- written files differ for $(basename "$case")"
  sed -e "s|$out/written|actual|g" -e "s|$case.files|expected|g" "$out/files.diff" | head -n 20
  status=1
fi
exit $status
