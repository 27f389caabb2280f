#pragma once
// A geoWrite document: per page the ordered items of its text (runs, rulers,
// font changes, inline pictures, page breaks), read from a GEOS Convert file.
// Only the text structure is kept; picture and font data are not read.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platter {

// The 26 bytes that follow a ruler escape; positions in pixels.
struct geowrite_ruler_t {
    std::array<std::uint8_t, 26> bytes{};

    std::uint16_t leftMargin() const { return word(0); }
    std::uint16_t rightMargin() const { return word(2); }
    std::uint16_t tabStop(std::uint8_t index) const { return index < 8 ? word(4 + 2 * std::size_t{index}) : 0; }
    std::uint16_t paragraphMargin() const { return word(20); }
    // 0 left, 1 centre, 2 right, 3 full.
    std::uint8_t justification() const { return bytes[22] & 0x03; }

private:
    std::uint16_t word(std::size_t at) const { return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8); }
};

enum class geowrite_kind : std::uint32_t { text, ruler, font, picture, page_break, end_of_text };

// One item of a page; the index points into the list its kind names.
struct geowrite_item_t {
    geowrite_kind kind = geowrite_kind::text;
    std::uint64_t index = 0;
};

using geowrite_items_t = std::vector<geowrite_item_t>;

class GeoWriteDocument {
public:
    // Pages 0 to 60 are the document's pages; these two frame every page.
    static constexpr std::uint64_t kHeaderPage = 61;
    static constexpr std::uint64_t kFooterPage = 62;

    void setVersion(std::uint8_t major, std::uint8_t minor);
    void setSettings(std::span<const std::uint8_t, 9> settings);
    // Makes the page current, creating it when absent.
    void setPage(std::uint64_t page);
    void addText(std::string text);
    void addRuler(const geowrite_ruler_t& ruler);
    void addFont(std::uint32_t font);
    void addBitmap(std::uint32_t picture);
    void addPageBreak();
    void addEndOfText();
    const geowrite_items_t* currentPage() const { return page(current_); }

    std::uint8_t majorVersion() const { return major_; }
    std::uint8_t minorVersion() const { return minor_; }
    const std::map<std::uint64_t, geowrite_items_t>& pages() const { return pages_; }
    const geowrite_items_t* page(std::uint64_t number) const;
    const std::string& text(std::uint64_t index) const { return texts_.at(index); }
    const geowrite_ruler_t* ruler(std::uint64_t index) const;
    bool hasHeader() const { return pages_.contains(kHeaderPage); }
    bool hasFooter() const { return pages_.contains(kFooterPage); }
    bool hasTitlePage() const { return settings_ && ((*settings_)[2] & 0x80) != 0; }
    // Version 2 stores it; older documents count from 1.
    std::uint16_t firstPageNumber() const;
    // Version 1 keeps its tab stops in the first ruler; 0 for other versions.
    std::uint16_t tabStop(std::uint8_t index) const;

private:
    void addItem(geowrite_kind kind, std::uint64_t index);

    std::uint8_t major_ = 0;
    std::uint8_t minor_ = 0;
    std::optional<std::array<std::uint8_t, 9>> settings_;
    std::map<std::uint64_t, geowrite_items_t> pages_;
    std::uint64_t current_ = 0;
    std::vector<geowrite_ruler_t> rulers_;
    std::vector<std::uint32_t> fonts_;
    std::vector<std::uint32_t> pictures_;
    std::vector<std::string> texts_;
};

// Reads the document from the bytes of a GEOS Convert file; none when the file
// is shorter than its record data or its record table says.
std::optional<GeoWriteDocument> readGeoWrite(std::span<const std::uint8_t> convertFile);

}  // namespace platter
