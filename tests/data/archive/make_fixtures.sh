#!/bin/sh
# Regenerates the archive fixtures and expected.txt (archive, entry index,
# CBM type, size, CRC-32 and name of every file the decoders must give), then
# checks them against the peer tools that read them. Needs python3, a JDK
# with libjlha-java, lhasa, unar and cbmconvert (which also writes the Lynx
# archives); the tests need none of them.
set -eu
export PYTHONDONTWRITEBYTECODE=1
cd "$(dirname "$0")"
rm -f expected.txt ./*.arc ./*.sda ./*.lzh ./*.wr3 ./*.ark ./*.lbr ./*.spy ./*.lnx
for writer in mkarc mkwraptor mkark mklbr mkspy mklha mklynx; do
    python3 "$writer.py" .
done
python3 check_peers.py .
