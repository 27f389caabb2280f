#include <algorithm>
#include <array>
#include <string_view>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_decoder.hpp"
#include "platter/archive/chunks.hpp"
#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/file_type_names.hpp"

namespace platter {

namespace {

// "DWB ", the file count, " \r"; per file its name, "\r", a type letter,
// "\r", " ", its length, " \r"; then the files' data one after the other.
constexpr std::string_view kMagic = "DWB ";
constexpr std::size_t kMinArchive = 10;
constexpr std::uint8_t kCarriageReturn = 13;

struct library_file_t {
    std::array<std::uint8_t, 16> name{};
    char typeLetter = 0;
    std::size_t length = 0;
};

// The directory text, read with every separator checked.
class LibraryText {
public:
    explicit LibraryText(std::span<const std::uint8_t> bytes) : bytes_(bytes), at_(kMagic.size()) {}

    bool expect(std::string_view separators) {
        for (char c : separators) {
            if (at_ == bytes_.size() || bytes_[at_] != static_cast<std::uint8_t>(c)) return false;
            ++at_;
        }
        return true;
    }
    int number() { return scanDecimal(bytes_, at_); }
    // The file's record; its name is PETSCII as stored, at most 16 bytes.
    bool file(library_file_t& file) {
        const auto start = bytes_.begin() + static_cast<std::ptrdiff_t>(at_);
        const auto end = std::find(start, bytes_.end(), kCarriageReturn);
        if (end == bytes_.end() || end - start > static_cast<std::ptrdiff_t>(file.name.size())) return false;
        file.name.fill(kNamePad);
        std::copy(start, end, file.name.begin());
        at_ += static_cast<std::size_t>(end - start) + 1;
        if (at_ == bytes_.size()) return false;
        file.typeLetter = static_cast<char>(bytes_[at_++]);
        if (!expect("\r ")) return false;
        file.length = static_cast<std::size_t>(number());
        return expect(" \r");
    }
    std::size_t position() const { return at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
};

}  // namespace

import_result_t ArchiveDecoder::decodeLibrary() {
    if (input_.size() < kMinArchive || !std::equal(kMagic.begin(), kMagic.end(), input_.begin())) {
        return import_result_t::damaged;
    }
    LibraryText text(input_);
    const int count = text.number();
    if (!text.expect(" \r")) return import_result_t::damaged;

    // Grown as records are read: the count alone must not size anything.
    std::vector<library_file_t> files;
    for (int i = 0; i < count; ++i) {
        if (!text.file(files.emplace_back())) return import_result_t::damaged;
    }
    std::size_t dataAt = text.position();
    for (const library_file_t& file : files) {
        // A file the archive ends inside is stored as far as it goes, those after it empty.
        const std::size_t held = std::min(file.length, input_.size() - dataAt);
        archive_entry_t entry;
        entry.name = file.name;
        entry.setType(fileTypeFromLetter(file.typeLetter) | archive_entry_t::kClosed, 0);
        entry.data = input_.subspan(dataAt, held);
        if (held < file.length) entry.loss = entry_loss_t{entry_loss_t::cause::archiveEnds, file.length};
        if (!store(entry)) return status_.result();
        dataAt += held;
    }
    if (!isPadding(input_.subspan(dataAt))) lost(leftOverText(input_.size() - dataAt));
    return status_.result();
}

}  // namespace platter
