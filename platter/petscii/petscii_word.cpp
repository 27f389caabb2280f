#include "platter/petscii/petscii_word.hpp"

namespace platter {

namespace {

bool endsWord(std::uint8_t c) { return c == ' ' || c == 13 || c == 29 || c == 141 || c == 157; }

bool isControlCode(std::uint8_t c) { return (c & 0x60) == 0; }

}  // namespace

petscii_word_t measurePetsciiWord(std::span<const std::uint8_t> bytes, bool raw) {
    if (bytes.empty()) return {};
    const std::uint8_t first = bytes[0];
    if (endsWord(first)) return {(first == 13 || first == 141) ? 0u : 1u, 0};
    petscii_word_t word;
    bool quoteMode = false;
    std::size_t scanned = 0;
    for (; scanned < bytes.size() && !endsWord(bytes[scanned]); ++scanned) {
        const std::uint8_t c = bytes[scanned];
        if (c == '"') quoteMode = !quoteMode;
        if (raw || quoteMode || c == '"' || !isControlCode(c)) {
            ++word.printable;
            word.length = scanned + 1;
        }
    }
    if (word.printable == 0) word.length = scanned;
    return word;
}

}  // namespace platter
