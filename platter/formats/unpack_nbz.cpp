#include "platter/formats/unpack_nbz.hpp"

namespace platter {

namespace {

constexpr std::size_t kInitialCapacity = 688484;
// Far above any NIB file (256 header bytes + 84 tracks of 8192): a bound on
// what a lying back reference can make us allocate.
constexpr std::size_t kMaxOutput = 16 * 1024 * 1024;

enum class groups_read { number, end, overflow };

// Reads one big-endian number of 7-bit groups; `end` when the data ends inside
// it, `overflow` when it does not fit the output bound.
groups_read readGroups(std::span<const std::uint8_t> packed, std::size_t& cursor, std::size_t& value) {
    value = 0;
    while (cursor < packed.size()) {
        const std::uint8_t byte = packed[cursor++];
        value = (value << 7) | (byte & 0x7F);
        if (value > kMaxOutput) return groups_read::overflow;
        if ((byte & 0x80) == 0) return groups_read::number;
    }
    return groups_read::end;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> unpackNbz(std::span<const std::uint8_t> packed) {
    std::vector<std::uint8_t> out;
    if (packed.empty()) return out;
    out.reserve(kInitialCapacity);
    const std::uint8_t escape = packed[0];
    std::size_t cursor = 1;
    while (cursor < packed.size()) {
        const std::uint8_t byte = packed[cursor++];
        if (byte != escape) {
            out.push_back(byte);
            continue;
        }
        if (cursor == packed.size()) break;
        if (packed[cursor] == 0) {
            ++cursor;
            out.push_back(escape);
            continue;
        }
        // A file cut inside a reference ends where it was cut, as after a last escape byte.
        std::size_t length = 0;
        std::size_t distance = 0;
        groups_read read = readGroups(packed, cursor, length);
        if (read == groups_read::number) read = readGroups(packed, cursor, distance);
        if (read == groups_read::end) break;
        if (read == groups_read::overflow) return std::nullopt;
        if (length == 0) continue;
        if (distance == 0 || distance > out.size() || out.size() + length > kMaxOutput) return std::nullopt;
        // Byte by byte: a copy may overlap the bytes it produces.
        const std::size_t from = out.size() - distance;
        for (std::size_t i = 0; i < length; ++i) out.push_back(out[from + i]);
    }
    return out;
}

}  // namespace platter
