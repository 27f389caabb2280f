#include "platter/archive/merge_writer.hpp"

#include <algorithm>

#include "platter/archive/ramdos_code.hpp"

namespace platter {

namespace {

constexpr std::size_t kProgramAt = 0x0300;
constexpr std::size_t kEntryHeader = 26;
constexpr std::size_t kPage = 256;

std::uint8_t byteOf(std::uint64_t value, unsigned shift) { return static_cast<std::uint8_t>(value >> shift); }

std::uint8_t typeLetter(const dir_entry_t& entry) {
    switch (entry.fileType()) {
        case kTypeSeq: return 'S';
        case kTypeUsr: return 'U';
        default: return 'P';
    }
}

}  // namespace

void MergeWriter::writeHeader() {
    image_.clear();
    image_.reserve(kCapacity);
    image_.resize(kFirstEntry);
    const std::uint8_t start[] = {0x22, 0x00, 0x22, 0x00, 0x00, 0xFF, 0x20};
    std::copy(std::begin(start), std::end(start), image_.begin() + 0x100);
    std::copy(g_ramdos_code.begin(), g_ramdos_code.end(), image_.begin() + kProgramAt);
    offset_ = kFirstEntry;
}

bool MergeWriter::addFile(const dir_entry_t& entry, std::span<const std::uint8_t> data) {
    const std::uint64_t start = offset_;
    const std::uint64_t length = data.size();
    const std::uint64_t entryEnd = start + length + kEntryHeader;  // the byte after the data
    // The page after the next entry's start is what RAMDOS stores; it must
    // stay inside the 24-bit image.
    const std::uint64_t next = entryEnd + kPage;
    if (length >= kCapacity || next >= kCapacity) return false;

    const std::uint64_t sized = length + 25;
    const std::uint64_t last = start + sized;
    image_.resize(next & ~std::uint64_t{kPage - 1});
    std::uint8_t* at = image_.data() + start;
    at[0] = byteOf(sized, 8);
    at[1] = byteOf(sized, 16);
    at[3] = typeLetter(entry);
    at[4] = byteOf(last, 0);
    const auto name = entry.name();
    std::transform(name.begin(), name.end(), at + 8, [](std::uint8_t b) { return b == 0xA0 ? 0 : b; });
    std::copy(data.begin(), data.end(), at + kEntryHeader);

    image_[0x102] = byteOf(next, 8);
    image_[0x103] = byteOf(next, 16);
    image_[0x2031] = byteOf(start, 8);
    image_[0x2032] = byteOf(start, 16);
    image_[0x2033] = byteOf(entryEnd, 0);
    image_[0x2034] = byteOf(start, 8);
    image_[0x2035] = byteOf(start, 16);
    image_[0x2036] = byteOf(last, 0);
    image_[0x2037] = byteOf(last, 8);
    image_[0x2038] = byteOf(last, 16);
    image_[0x2103] = 0x1E;
    image_[0x2104] = byteOf(next, 8);
    image_[0x2105] = byteOf(next, 16);
    image_[0x2106] = 0x1E;
    offset_ = image_.size();
    return true;
}

void MergeWriter::finish() { image_.resize(kCapacity); }

}  // namespace platter
