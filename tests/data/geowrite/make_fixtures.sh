#!/bin/sh
# Regenerates the committed geoWrite documents beside this script with cc65's
# grc65, ca65 and ld65: doc.cvt (pages 0 and 2), framed.cvt (a header, a footer,
# full justification and a picture) and version1.cvt (a version-1 document).
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

# The stock GEOS layout has records 0 to 19; the header and footer are 61 and 62.
sed -e 's/^    VLIR19: .*/&\n    VLIR61: define = yes, start = __OVERLAYADDR__, size = __OVERLAYSIZE__;\n    VLIR62: define = yes, start = __OVERLAYADDR__, size = __OVERLAYSIZE__;/' \
    -e 's/^    OVERLAY19: .*/&\n    OVERLAY61: type = ro,  run  = VLIR61, load = CVT, align_load = $FE, optional = yes;\n    OVERLAY62: type = ro,  run  = VLIR62, load = CVT, align_load = $FE, optional = yes;/' \
    /usr/share/cc65/cfg/geos-cbm.cfg > "$tmp/geowrite.cfg"

build() {
  grc65 -t geos-cbm -o "$tmp/$1.h" -s "$tmp/$1res.s" "$1.grc"
  ca65 -t geos-cbm -o "$tmp/$1res.o" "$tmp/$1res.s"
  ca65 -t geos-cbm -o "$tmp/$1.o" "$2"
  ld65 -C "$tmp/geowrite.cfg" -o "$3" "$tmp/$1res.o" "$tmp/$1.o"
}

build doc doc.s doc.cvt
build framed framed.s framed.cvt
build version1 version1.s version1.cvt
