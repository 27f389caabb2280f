#include "platter/core/petscii_listing.hpp"

#include <array>
#include <string>

#include "platter/core/disk.hpp"
#include "platter/core/listing_line.hpp"
#include "platter/petscii/colour_codes.hpp"

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

// The line as the machine's BASIC lister shows what the drive sends: the type word with its
// control codes; a type 13 gets one more space, as the 1541's reverse on in its word takes no cell.
void appendEntry(const dir_entry_t& entry, const listing_line_t& line, std::vector<std::uint8_t>& out) {
    std::string blocks = std::to_string(line.blocks);
    blocks.resize(std::max<std::size_t>(blocks.size(), 5), ' ');
    appendText(out, blocks);
    out.push_back(kQuote);
    std::size_t used = 0;
    for (; used < line.name.size() && line.name[used] != kPadding; ++used) {
        const std::uint8_t c = line.name[used];
        const bool control = c < 0x20 || (c >= 0x80 && c <= 0x9F);
        if (control) out.push_back(kPetsciiReverseOn);
        out.push_back(printableHeaderByte(c));
        if (control) out.push_back(kPetsciiReverseOff);
    }
    out.push_back(kQuote);
    out.insert(out.end(), line.name.size() - used, ' ');
    out.push_back(line.splat ? '*' : ' ');
    appendText(out, line.typeWord);
    out.push_back(line.locked ? '<' : ' ');
    out.push_back(' ');
    if ((entry.typeByte() & 15) == 13) out.push_back(' ');
    out.push_back(kPetsciiReturn);
}

}  // namespace

std::vector<std::uint8_t> buildPetsciiListing(Disk& disk, Charset charset, bool includeEmpty) {
    const bool savedIncludeEmpty = disk.includeEmpty();
    disk.setIncludeEmpty(includeEmpty);
    std::vector<std::uint8_t> out;
    if (charset == Charset::lowerUpper) out.push_back(kLowerCase);
    appendHeader(disk, out);
    const std::uint64_t count = disk.countDirectoryEntries();
    dir_entry_t entry;
    for (std::uint64_t index = 0; index < count; ++index) {
        if (!disk.getEntry(index, includeEmpty, entry) || isEmptyEntry(entry)) continue;
        if (!includeEmpty && isScratchedEntry(entry)) continue;
        appendEntry(entry, listingLine(disk, entry), out);
    }
    const std::string footer = disk.blocksFreeText();
    if (!footer.empty()) appendText(out, footer + "             ");
    disk.setIncludeEmpty(savedIncludeEmpty);
    return out;
}

}  // namespace platter
