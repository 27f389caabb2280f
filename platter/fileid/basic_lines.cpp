#include "platter/fileid/basic_lines.hpp"

#include "platter/fileid/byte_match.hpp"

namespace platter::fileid {

namespace {

// Lines are at most 255 bytes plus link and line number.
constexpr std::uint32_t kMaxLineStep = 258;

}  // namespace

std::uint32_t countBasicLines(std::span<const std::uint8_t> data, std::uint16_t expectedLoad) {
    if (data.size() < 5) return 0;
    const std::uint32_t load = readLe16(data, 0);
    if (load < 1025 || (expectedLoad != 0 && expectedLoad != load)) return 0;
    // Address just past the last possible link, in the machine's 16-bit space.
    const std::uint32_t end = static_cast<std::uint16_t>(load + data.size() - 3);
    // File offset of the byte at a memory address of the program.
    const auto offsetOf = [load](std::uint32_t address) { return std::uint64_t{address - load} + 2; };

    std::uint32_t line = load;
    std::uint32_t next = readLe16(data, 2);
    if (next <= load || next >= end || next - load > kMaxLineStep) return 0;
    std::uint32_t count = 0;
    while (true) {
        // A link whose high byte is 0 is the end marker, not a line.
        if ((next >> 8) == 0) break;
        ++count;
        if (next <= line || next >= end || next - line > kMaxLineStep) break;
        // Each line ends with a 0 byte just before the next one starts.
        const std::uint64_t nextOffset = offsetOf(next);
        if (nextOffset + 2 > data.size() || data[nextOffset - 1] != 0) break;
        line = next;
        next = readLe16(data, nextOffset);
    }
    return count;
}

}  // namespace platter::fileid
