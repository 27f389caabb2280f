#include "platter/petscii/byte_readers.hpp"

#include <algorithm>

namespace platter {

namespace {

constexpr std::uint8_t kReturn = 13;
constexpr std::size_t kMaxVarintBytes = 10;

}  // namespace

int readLine(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data, std::size_t& cursor) {
    while (cursor < data.size() && data[cursor] != kReturn) out.push_back(data[cursor++]);
    if (cursor >= data.size()) return -1;
    return out.empty() ? 0 : 1;
}

int skipPast(std::uint8_t byte, std::span<const std::uint8_t> data, std::size_t& cursor) {
    while (cursor < data.size()) {
        if (data[cursor++] == byte) return 1;
    }
    return -1;
}

int readNumber(std::uint32_t& out, std::span<const std::uint8_t> data, std::size_t& cursor) {
    out = 0;
    while (cursor < data.size() && data[cursor] == ' ') ++cursor;
    std::uint64_t value = 0;
    bool anyDigit = false;
    bool overflow = false;
    while (cursor < data.size() && data[cursor] >= '0' && data[cursor] <= '9') {
        value = value * 10 + (data[cursor++] - '0');
        overflow = overflow || value > 0xFFFFFFFFu;
        if (overflow) value = 0;
        anyDigit = true;
    }
    if (cursor >= data.size()) return -1;
    if (!anyDigit) return 0;
    if (!overflow) out = static_cast<std::uint32_t>(value);
    return 1;
}

std::optional<std::uint64_t> readVarint(std::span<const std::uint8_t> data, std::size_t& cursor) {
    std::uint64_t value = 0;
    for (std::size_t count = 0; count < kMaxVarintBytes && cursor < data.size(); ++count) {
        const std::uint8_t byte = data[cursor++];
        if ((value >> 57) != 0) return std::nullopt;
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) return value;
    }
    return std::nullopt;
}

std::uint8_t byteAt(std::span<const std::uint8_t> bytes, std::size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}

bool putByte(std::uint8_t byte, std::size_t& cursor, std::vector<std::uint8_t>& buffer, std::size_t growth) {
    if (cursor >= buffer.size()) buffer.resize(cursor + std::max<std::size_t>(growth, 1));
    buffer[cursor++] = byte;
    return true;
}

}  // namespace platter
