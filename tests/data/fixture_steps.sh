# The steps the fixture scripts share. A tests/data/*/make_fixtures.sh changes into its
# own folder and sources this file, which gives it:
#   $tmp                  a scratch folder, removed on exit
#   PYTHONPATH            tests/data, so that python snippets import cbm_builder
#   pattern SIZE SEED [STEP] > FILE
#   check_extract IMAGE NAME FILE...
#   patch_link IMAGE COPY OFFSET TRACK SECTOR
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
PYTHONPATH=$(cd .. && pwd)
export PYTHONPATH PYTHONDONTWRITEBYTECODE=1

# Deterministic bytes: byte i is (i * STEP + SEED) mod 256; STEP is 7 unless given.
pattern() {
    python3 -c "import sys; from cbm_builder import pattern; sys.stdout.buffer.write(pattern(*map(int, sys.argv[1:])))" "$@"
}

# Extracts IMAGE with cbmconvert, the independent reader, and checks that each extracted
# file NAME holds the bytes of FILE. The comparisons decide: what cbmconvert says about
# entries it cannot extract is left out.
check_extract() {
    image=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    shift
    out=$(mktemp -d "$tmp/extract.XXXXXX")
    (cd "$out" && cbmconvert -v0 -N -d "$image" >/dev/null 2>&1 || true)
    while [ $# -ge 2 ]; do
        cmp "$out/$1" "$2"
        shift 2
    done
}

# COPY is IMAGE with the two link bytes of the block at byte OFFSET set to TRACK and SECTOR.
patch_link() {
    python3 -c "import sys; b = bytearray(open(sys.argv[1], 'rb').read()); o = int(sys.argv[3]); \
b[o:o + 2] = bytes((int(sys.argv[4]), int(sys.argv[5]))); open(sys.argv[2], 'wb').write(b)" "$@"
}
