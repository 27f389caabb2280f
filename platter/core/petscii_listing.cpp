#include "platter/core/petscii_listing.hpp"

#include <array>
#include <string>

#include "platter/core/disk.hpp"
#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/file_type_names.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kLowerCase = 14;
constexpr std::uint8_t kQuote = '"';
constexpr std::uint8_t kPadding = 0xA0;

// Control codes of a header field shown as the characters that the
// machine's screen shows for them.
std::uint8_t printableHeaderByte(std::uint8_t c) {
    if (c < 0x20) return c | 0x40;
    if (c >= 0x80 && c <= 0x9F) return static_cast<std::uint8_t>(c - 0x20);
    return c;
}

void appendText(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void appendHeader(Disk& disk, std::vector<std::uint8_t>& out) {
    std::array<std::uint8_t, 16> name;
    name.fill(kPadding);
    std::array<std::uint8_t, 5> id{};
    disk.getDiskName(name);
    disk.getDiskId(id);
    appendText(out, "0 ");
    out.push_back(kPetsciiReverseOn);
    out.push_back(kQuote);
    for (const std::uint8_t c : name) out.push_back(printableHeaderByte(c));
    out.push_back(kQuote);
    out.push_back(' ');
    for (const std::uint8_t c : id) out.push_back(printableHeaderByte(c));
    out.push_back(kPetsciiReverseOff);
    out.push_back(kPetsciiReturn);
}

void appendEntry(const dir_entry_t& entry, type_name_table names, std::vector<std::uint8_t>& out) {
    std::string blocks = std::to_string(entry.blockCount());
    blocks.resize(std::max<std::size_t>(blocks.size(), 5), ' ');
    appendText(out, blocks);
    out.push_back(kQuote);
    std::size_t used = 0;
    for (; used < entry.name().size() && entry.name()[used] != kPadding; ++used) {
        const std::uint8_t c = entry.name()[used];
        const bool control = c < 0x20 || (c >= 0x80 && c <= 0x9F);
        if (control) out.push_back(kPetsciiReverseOn);
        out.push_back(printableHeaderByte(c));
        if (control) out.push_back(kPetsciiReverseOff);
    }
    out.push_back(kQuote);
    out.insert(out.end(), entry.name().size() - used, ' ');
    out.push_back(entry.isSplat() ? '*' : ' ');
    const std::uint8_t type = entry.typeByte() & 15;
    const std::string typeName = fileTypeName(names, type);
    for (std::size_t i = 0; i < 3 && i < typeName.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(typeName[i] & 0x7F);
        if (c == 0 || c == 0x13) break;
        out.push_back(c);
    }
    out.push_back(entry.isLocked() ? '<' : ' ');
    out.push_back(' ');
    if (type == 13) out.push_back(' ');
    out.push_back(kPetsciiReturn);
}

// A scratched entry: DEL, not closed and not locked.
bool isScratched(const dir_entry_t& entry) {
    return entry.fileType() == kTypeDel && entry.isSplat() && !entry.isLocked();
}

}  // namespace

std::vector<std::uint8_t> buildPetsciiListing(Disk& disk, Charset charset, bool includeEmpty) {
    const bool savedIncludeEmpty = disk.includeEmpty();
    disk.setIncludeEmpty(includeEmpty);
    std::vector<std::uint8_t> out;
    if (charset == Charset::lowerUpper) out.push_back(kLowerCase);
    appendHeader(disk, out);
    const type_name_table names = disk.typeNameTable();
    const std::uint64_t count = disk.countDirectoryEntries();
    dir_entry_t entry;
    for (std::uint64_t index = 0; index < count; ++index) {
        if (!disk.getEntry(index, includeEmpty, entry) || isEmptyEntry(entry)) continue;
        if (!includeEmpty && isScratched(entry)) continue;
        appendEntry(entry, names, out);
    }
    appendText(out, std::to_string(disk.blocksFree()) + " BLOCKS FREE.             ");
    disk.setIncludeEmpty(savedIncludeEmpty);
    return out;
}

}  // namespace platter
