#!/usr/bin/env bash
# Writes the GIMP-made picture fixtures: a source picture that keeps each
# format's colour rules is drawn with Pillow, saved through gimp-cbmplugs
# (an independent C64 picture writer), and kept beside the file it gave.
#   gimp_koala.png, gimp_koala.koa          Koala Painter (multicolour)
#   gimp_interpaint.png, gimp_interpaint.iph  Interpaint hires
# The PNGs use this program's palette, so a decoded picture must equal them.
# Needs gimp-cbmplugs and python3-pil; the fixtures are committed.
set -euo pipefail
cd "$(dirname "$0")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

/usr/bin/python3 - "$scratch" <<'EOF'
import sys
from collections import Counter
from PIL import Image, ImageDraw

scratch = sys.argv[1]
palette = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF), (0x68, 0x2C, 0x2B), (0x70, 0xA4, 0xB2),
           (0x6F, 0x3D, 0x86), (0x58, 0x8D, 0x43), (0x35, 0x28, 0x79), (0xB8, 0xC7, 0x6F),
           (0x6F, 0x4F, 0x25), (0x43, 0x39, 0x00), (0x9A, 0x67, 0x59), (0x44, 0x44, 0x44),
           (0x6C, 0x6C, 0x6C), (0x9A, 0xD2, 0x84), (0x6C, 0x5E, 0xB5), (0x95, 0x95, 0x95)]
flat = [v for rgb in palette for v in rgb]

def drawing(width):
    im = Image.new('P', (width, 200), 6)
    im.putpalette(flat)
    d = ImageDraw.Draw(im)
    step = width // 16
    for i in range(16):
        d.rectangle((i * step, 0, i * step + step - 1, 30), fill=i)
    for i in range(8):
        x = i * width // 10
        d.ellipse((x + 10, 40 + i * 12, x + width // 4, 100 + i * 12), fill=(i * 3 + 1) % 16, outline=(i * 5 + 2) % 16)
    d.polygon([(width // 2, 120), (width - 10, 190), (10, 190)], fill=7, outline=2)
    d.text((width // 4, 105), "ZT PICTURE", fill=1)
    return im

# At most `colours` colours besides the background in each cell; extra ones take the cell's most common.
def limit(im, cell_width, colours, background):
    px = im.load()
    for cy in range(0, im.height, 8):
        for cx in range(0, im.width, cell_width):
            cells = [(x, y) for y in range(cy, cy + 8) for x in range(cx, cx + cell_width)]
            counts = Counter(px[p] for p in cells if px[p] != background)
            keep = [c for c, _ in counts.most_common(colours)]
            for p in cells:
                if px[p] != background and px[p] not in keep:
                    px[p] = keep[0]
    return im

koala = limit(drawing(160), 4, 3, 6).resize((320, 200), Image.NEAREST)
koala.save(scratch + '/koala.png', bits=4)
koala.save('gimp_koala.png', bits=8)
# Hires: two colours a cell, the background among them.
hires = limit(drawing(320), 8, 1, 6)
hires.save(scratch + '/interpaint.png', bits=4)
hires.save('gimp_interpaint.png', bits=8)
EOF

# The Koala saver takes its background colour from GIMP's context.
HOME=$scratch gimp-console -i -d -f -b "
(let* ((img (car (file-png-load RUN-NONINTERACTIVE \"$scratch/koala.png\" \"k\")))
       (dr (car (gimp-image-get-active-drawable img))))
  (gimp-context-set-background (list 53 40 121))
  (file-koala-paint-save RUN-NONINTERACTIVE img dr \"gimp_koala.koa\" \"k\"))
(let* ((img (car (file-png-load RUN-NONINTERACTIVE \"$scratch/interpaint.png\" \"a\")))
       (dr (car (gimp-image-get-active-drawable img))))
  (file-interpaint-hires-save RUN-NONINTERACTIVE img dr \"gimp_interpaint.iph\" \"a\"))" -b '(gimp-quit 0)' >/dev/null 2>&1
test -s gimp_koala.koa && test -s gimp_interpaint.iph
