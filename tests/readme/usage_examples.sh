#!/usr/bin/env bash
# usage_examples.sh ZT README: runs every line of the README's usage example block, as
# written, in a scratch copy of tests/data with ZT as `zt`; each must exit 0.
set -u
zt=$1
readme=$2
data=$(cd "$(dirname "$0")/../data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$data/." "$work/"
mkdir "$work/.bin"
ln -s "$zt" "$work/.bin/zt"

# The first sh block after the "## Usage" heading.
mapfile -t lines < <(awk '/^## Usage/ { usage = 1 } usage && /^```sh/ { block = 1; next }
                          block && /^```/ { exit } block && NF' "$readme")
if [ ${#lines[@]} -eq 0 ]; then
  echo "no usage examples found in $readme"
  exit 1
fi
failed=0
for line in "${lines[@]}"; do
  if ! (cd "$work" && PATH="$work/.bin:$PATH" bash -o pipefail -c "$line" >/dev/null 2>"$work/.stderr"); then
    echo "failed: $line"
    cat "$work/.stderr"
    failed=1
  fi
done
exit $failed
