#pragma once
// Lays a geoWrite document's pages out as plain text: paragraphs wrapped and
// aligned by their ruler, the header and footer around each page, a placeholder
// line per picture, a label after each page and a dashed line between pages.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platter/render/geowrite_document.hpp"

namespace app {

class GeoWriteLayout {
public:
    // Writes every page of the document.
    void print(std::ostream& out, const platter::GeoWriteDocument& document);
    // Writes one page's text; rulers on it become current.
    void printItems(std::ostream& out, const platter::geowrite_items_t& items);
    // The paragraph's lines for a text width of `width` columns; the first one indented.
    std::vector<std::string> wrapParagraph(const std::string& paragraph, std::int64_t width) const;
    void printPageNumber(std::ostream& out, std::uint64_t number) const;

private:
    const platter::geowrite_ruler_t& ruler() const;
    std::int64_t marginColumn() const;
    std::int64_t textWidth() const;
    std::int64_t indent() const;
    void printParagraphs(std::ostream& out, const std::string& text) const;
    std::string justify(const std::string& line, const std::string& firstLine, std::int64_t width) const;

    platter::GeoWriteDocument document_;
    const platter::geowrite_ruler_t* ruler_ = nullptr;
};

}  // namespace app
