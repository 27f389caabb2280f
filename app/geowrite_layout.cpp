#include "app/geowrite_layout.hpp"

#include <algorithm>

#include "forge/strings.hpp"

namespace app {

namespace {

// The pages of a document; 61 and 62 are its header and footer.
constexpr std::uint64_t kLastPage = 60;
constexpr std::int64_t kTabColumns = 4;
constexpr std::int64_t kSeparatorShortening = 13;
// GEOS prints 80 cards of 8 pixels a line: a ruler position past the page's last pixel is taken
// as that pixel, so a damaged ruler cannot pad every line with thousands of spaces.
constexpr std::int64_t kLastPagePixel = 639;

// Left-justified from column 0 to the width of a page, until a ruler says otherwise.
const platter::geowrite_ruler_t kDefaultRuler = [] {
    platter::geowrite_ruler_t ruler;
    ruler.bytes[2] = 479 & 0xFF;
    ruler.bytes[3] = 479 >> 8;
    return ruler;
}();

std::string spaces(std::int64_t count) {
    return std::string(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)), ' ');
}

std::int64_t length(const std::string& text) { return static_cast<std::int64_t>(text.size()); }

std::int64_t onPage(std::uint16_t pixels) { return std::min<std::int64_t>(pixels, kLastPagePixel); }

}  // namespace

const platter::geowrite_ruler_t& GeoWriteLayout::ruler() const { return ruler_ != nullptr ? *ruler_ : kDefaultRuler; }

std::int64_t GeoWriteLayout::marginColumn() const { return onPage(ruler().leftMargin()) >> 3; }

std::int64_t GeoWriteLayout::textWidth() const {
    // At least one column, so that every line takes something from its paragraph.
    return std::max<std::int64_t>((onPage(ruler().rightMargin()) - onPage(ruler().leftMargin())) / 8, 1);
}

std::int64_t GeoWriteLayout::indent() const {
    return std::max<std::int64_t>((onPage(ruler().paragraphMargin()) - onPage(ruler().leftMargin())) / 8, 0);
}

void GeoWriteLayout::print(std::ostream& out, const platter::GeoWriteDocument& document) {
    document_ = document;
    ruler_ = nullptr;
    std::string separator;
    const std::uint64_t first = document_.firstPageNumber() & 0xFF;
    for (const auto& [number, items] : document_.pages()) {
        if (number > kLastPage) break;
        out << separator;
        if (number == 0 && document_.hasTitlePage()) {
            printItems(out, items);
        } else {
            if (const auto* header = document_.page(platter::GeoWriteDocument::kHeaderPage)) {
                out << "{header}";
                printItems(out, *header);
                out << "\n";
            }
            printItems(out, items);
            if (const auto* footer = document_.page(platter::GeoWriteDocument::kFooterPage)) {
                out << "\n{footer}";
                printItems(out, *footer);
            }
            printPageNumber(out, first + number);
        }
        separator = std::string(static_cast<std::size_t>(std::max<std::int64_t>(
                                    (onPage(ruler().rightMargin()) >> 3) - kSeparatorShortening, 0)),
                                '-') +
                    " {page break}\n";
    }
}

void GeoWriteLayout::printItems(std::ostream& out, const platter::geowrite_items_t& items) {
    std::string waiting;
    for (const auto& item : items) {
        switch (item.kind) {
            case platter::geowrite_kind::text: waiting += document_.text(item.index); continue;
            case platter::geowrite_kind::font: continue;
            default: break;
        }
        if (!waiting.empty()) {
            printParagraphs(out, waiting);
            waiting.clear();
        }
        if (item.kind == platter::geowrite_kind::picture) out << "[bitmap]\n";
        if (item.kind == platter::geowrite_kind::ruler) ruler_ = document_.ruler(item.index);
    }
}

void GeoWriteLayout::printParagraphs(std::ostream& out, const std::string& text) const {
    const std::int64_t margin = marginColumn();
    const std::int64_t width = textWidth();
    for (const std::string& paragraph : forge::split(text, '\r')) {
        const std::vector<std::string> lines = wrapParagraph(paragraph, width);
        for (const std::string& line : lines) {
            std::int64_t pad = 0;
            std::string shown = line;
            switch (ruler().justification()) {
                case 1: pad = (width - length(line)) >> 1; break;
                case 2: pad = width - length(line); break;
                case 3: shown = justify(line, lines.front(), width); break;
                default: break;
            }
            out << spaces(margin + pad) << shown << "\n";
        }
    }
}

std::string GeoWriteLayout::justify(const std::string& line, const std::string& firstLine, std::int64_t width) const {
    const std::vector<std::string> words = forge::split(forge::trim(line), ' ');
    // A single word has no gap to widen: it stays as it is.
    if (words.size() < 2) return line;
    const auto gaps = static_cast<std::int64_t>(words.size()) - 1;
    const std::int64_t spare = std::max<std::int64_t>(width - length(line), 0);
    const std::int64_t each = spare / gaps;
    std::int64_t extra = spare % gaps;
    std::string justified = line == firstLine ? spaces(indent()) : std::string();
    for (const std::string& word : words) {
        justified += word + " ";
        if (word == words.back()) continue;
        justified += spaces(extra > 0 ? each + 1 : each);
        if (extra > 0) --extra;
    }
    return justified;
}

std::vector<std::string> GeoWriteLayout::wrapParagraph(const std::string& paragraph, std::int64_t width) const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::int64_t column = indent();
    std::size_t breakAt = std::string::npos;
    for (std::size_t at = 0; at < paragraph.size(); ++at) {
        const char c = paragraph[at];
        if (c == ' ') breakAt = at;
        if (c == '\t') column += kTabColumns;
        column += 1;
        if (at + 1 == paragraph.size()) {
            lines.push_back(paragraph.substr(start));
            break;
        }
        if (column < width) continue;
        // A word as wide as the line has no space to break at: it is cut at the width.
        const bool cutWord = breakAt == std::string::npos;
        const std::size_t end = cutWord ? at + 1 : breakAt;
        lines.push_back(paragraph.substr(start, end - start));
        const std::size_t next = paragraph.find_first_not_of(' ', end);
        if (next == std::string::npos) break;
        start = next;
        at = next - 1;
        column = 0;
        breakAt = std::string::npos;
    }
    if (!lines.empty()) lines.front().insert(0, spaces(indent()));
    return lines;
}

void GeoWriteLayout::printPageNumber(std::ostream& out, std::uint64_t number) const {
    out << "\npage: " << number << "\n";
}

}  // namespace app
