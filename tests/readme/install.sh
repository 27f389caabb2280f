#!/usr/bin/env bash
# install.sh CMAKE BUILD: `cmake --install BUILD --prefix DIR` installs exactly an
# executable bin/zt into DIR.
set -eu
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
installed=$(cd "$prefix" && find . -type f -o -type l)
if [ "$installed" != "./bin/zt" ] || [ ! -x "$prefix/bin/zt" ]; then
  echo "installed: ${installed:-nothing}"
  exit 1
fi
"$prefix/bin/zt" --version >/dev/null
