#pragma once
// The base of the directory-listing renderers: the settings of a listing, the
// selection of the argument being listed, which entries a listing shows, the
// measured column widths, and the conversion of PETSCII texts for output.

#include "platter/selection/cbm_selection.hpp"
#include "app/listing_entry.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/petscii/charset.hpp"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace platter {
class Disk;
}

namespace app {

class Render {
public:
    struct settings_t {
        bool human = false;      // byte counts as human-readable sizes
        bool almostAll = false;  // scratched entries too
        bool noFooter = false;
        bool noHeader = false;
        bool zeroPadTs = false;
    };

    Render();
    virtual ~Render() = default;
    Render(const Render&) = delete;
    Render& operator=(const Render&) = delete;

    // Keeps the entries of `frame` of the processed selection that the listing
    // shows, gathers what the fields need of them and measures the widths.
    void prepare(platter::Disk& disk, const std::string& path, platter::Charset charset, std::uint64_t frame = 0);
    // The entries the last prepare gathered, in listing order.
    const std::vector<listed_entry_t>& entries() const { return entries_; }
    virtual void renderListing(platter::Disk& disk, const std::string& prefix) = 0;
    // The "0 \"name\" id" line and the "blocks free." line of the column and
    // canonical forms.
    virtual void renderHeader(platter::Disk& disk);
    virtual void renderFooter(platter::Disk& disk);

    // Some selector of the prepared frame takes the index, and no negated one does.
    bool isSelected(std::uint64_t index) const;
    // 0 for a field without a measured width.
    std::uint64_t fieldWidth(std::int32_t id) const;

    // PETSCII as output text in the console's mode (Unicode or ASCII).
    std::string petsciiToText(std::span<const std::uint8_t> bytes, platter::Charset charset, bool reverse) const;
    // The name as a CBM listing shows it: the first shifted space closes the
    // quote unless a quote came before, later ones read as spaces, trailing ones go.
    std::string entryNameText(const platter::dir_entry_t& entry, platter::Charset charset, bool reverse) const;
    // The whole name for a program to read: every shifted space before the last other byte a space.
    std::string wholeNameText(const platter::dir_entry_t& entry, platter::Charset charset) const;
    // '"', the 16 stored name bytes, '"', ' '.
    std::string diskNameText(platter::Disk& disk, platter::Charset charset, bool reverse) const;
    // Two id bytes, a shifted space and the two DOS type bytes.
    std::string diskIdText(platter::Disk& disk, platter::Charset charset, bool reverse) const;
    // The type word without its control codes.
    std::string typeWordText(const platter::listing_line_t& line, platter::Charset charset) const;
    // The same, and a reversed space after a reverse on, which shows the rest of the line reversed.
    std::string typeText(const platter::listing_line_t& line, platter::Charset charset) const;
    std::string numberText(std::uint64_t value) const;
    std::uint64_t trimmedNameLength(const platter::dir_entry_t& entry) const;

    settings_t settings;
    std::vector<std::int32_t> fields;  // column ids in output order; empty for the canonical form
    platter::CbmSelection selection;

protected:
    platter::Charset charset() const { return charset_; }
    const std::string& path() const { return path_; }
    bool hasField(std::int32_t id) const;
    // The line forms: the header line, a line per entry that `writeEntry` fills and the
    // blocks-free line, each after `prefix`, the header and footer as the settings allow.
    void renderLines(platter::Disk& disk, const std::string& prefix,
                     const std::function<void(std::ostream&, const listed_entry_t&)>& writeEntry);
    // '"', the name in its colour, the closing '"' (a space when the name holds
    // one) and the padding to 16 characters.
    void writeQuotedName(std::ostream& out, const listed_entry_t& listed) const;
    // What the entries are read for, by the fields and the console's colour.
    virtual entry_needs_t needs() const;

private:
    // The name bytes up to the last one that is no shifted space, each shifted space among them a
    // space; with `closingQuote` the first becomes a quote unless a quote came before it.
    std::string nameText(const platter::dir_entry_t& entry, platter::Charset charset, bool reverse,
                         bool closingQuote) const;
    bool isShown(const platter::dir_entry_t& entry) const;
    void measure(const listed_entry_t& listed);

    platter::Charset charset_ = platter::Charset::upperGraphics;
    std::string path_;
    std::uint64_t frame_ = 0;
    char fallback_ = '`';
    std::unordered_map<std::int32_t, std::uint64_t> widths_;
    std::vector<listed_entry_t> entries_;
};

}  // namespace app
