#include "tests/support/png_decoder.hpp"

#include <fstream>
#include <sstream>

#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace test_support {

namespace {

constexpr const char* kDecoder = R"(
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
if data[:8] != b'\x89PNG\r\n\x1a\n':
    sys.exit('no PNG signature')
pos, idat, palette, ended = 8, b'', b'', False
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if len(body) != length or zlib.crc32(kind + body) != struct.unpack('>I', data[pos + 8 + length:pos + 12 + length])[0]:
        sys.exit('bad chunk ' + kind.decode('latin-1'))
    if kind == b'IHDR':
        width, height, depth, colour = struct.unpack('>IIBB', body[:10])
    elif kind == b'PLTE':
        palette = body
    elif kind == b'IDAT':
        idat += body
    pos += 12 + length
    if kind == b'IEND':
        ended = True
        break
if not ended or pos != len(data):
    sys.exit('no IEND at the end')
if depth != 8 or colour not in (2, 3, 6):
    sys.exit('unsupported format')
raw = zlib.decompress(idat)
step = {2: 3, 3: 1, 6: 4}[colour]
stride = width * step
if len(raw) != height * (stride + 1):
    sys.exit('image data of wrong size')
out, previous = bytearray(), bytearray(stride)
for y in range(height):
    kind = raw[y * (stride + 1)]
    line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for x in range(stride):
        a = line[x - step] if x >= step else 0
        b = previous[x]
        c = previous[x - step] if x >= step else 0
        if kind == 1:
            line[x] = (line[x] + a) & 255
        elif kind == 2:
            line[x] = (line[x] + b) & 255
        elif kind == 3:
            line[x] = (line[x] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    previous = line
    if colour == 3:
        for index in line:
            out += palette[3 * index:3 * index + 3]
    elif colour == 2:
        out += line
    else:
        for x in range(width):
            out += line[4 * x:4 * x + 3]
open(sys.argv[2], 'wb').write(out)
print(width, height)
)";

}  // namespace

decoded_png_t decodePng(const std::vector<std::uint8_t>& png) {
    ScratchDir scratch;
    const auto script = scratch.file("decode.py");
    std::ofstream(script) << kDecoder;
    writeBytes(scratch.file("in.png"), png);
    const auto [output, status] = runCommand("/usr/bin/python3 " + script.string() + " " +
                                             scratch.file("in.png").string() + " " + scratch.file("out.rgb").string());
    decoded_png_t result;
    if (status != 0) {
        result.error = output;
        return result;
    }
    std::istringstream(output) >> result.width >> result.height;
    result.rgb = readBytes(scratch.file("out.rgb"));
    return result;
}

}  // namespace test_support
