#pragma once
// The ids of the container-format registry: one per kind of disk or tape image,
// archive, single-file form or output document. Every library may include this.

#include <cstdint>

namespace platter {

enum class format_id : std::uint32_t {
    none = 0,  // no registry row: not a container kind
    d64 = 1,
    d71 = 2,
    d81 = 3,
    g64 = 4,
    seq = 5,
    zipcode = 6,
    sda = 7,
    arc = 8,
    lha = 9,
    lynx = 10,
    all = 11,
    prg = 12,
    rel = 13,
    usr = 14,
    txt = 15,
    d80 = 16,
    d82 = 17,
    t64 = 18,
    bmp = 19,
    csv = 20,
    d2m = 21,
    dnp = 22,
    dfi = 23,
    p00 = 24,
    r00 = 25,
    s00 = 26,
    u00 = 27,
    cvt = 28,
    sfx = 29,
    dhd = 30,
    del = 31,
    cmd = 32,
    ark = 33,
    wr3 = 35,
    cbm = 36,
    unknown = 37,
    lbr = 38,
    ide64 = 39,
    rtf = 42,
    png = 43,
    nib = 44,
    htm = 45,
    m2i = 46,
    spy = 47,
    d4m = 48,
    d1m = 49,
    kick = 50,
    nbz = 51,
    d8b = 52,
};

// The number stored where a registry id is kept as a plain integer (file-type table, M2I, CMD tables).
constexpr std::uint32_t formatNumber(format_id id) { return static_cast<std::uint32_t>(id); }

}  // namespace platter
