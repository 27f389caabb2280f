#include "platter/fileid/text_classifier.hpp"

#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

struct text_counts_t {
    std::uint64_t size = 0;
    std::uint64_t control = 0;
    std::uint64_t quotedControl = 0;
    std::uint64_t cr = 0;
    std::uint64_t lf = 0;
    std::uint64_t crlf = 0;
    std::uint64_t lower = 0;
    std::uint64_t upper = 0;
    std::uint64_t petsciiLetters = 0;

    std::uint64_t lineEnds() const { return cr + lf + crlf; }
    std::uint64_t percentOf(std::uint64_t count) const { return count * 100 / size; }
    std::uint64_t controlPercent() const { return percentOf(control); }
    std::uint64_t linePercent() const { return percentOf(lineEnds()); }
    std::uint64_t petsciiPercent() const { return percentOf(petsciiLetters); }
    // Line ends that are mostly LF or CR LF rather than CR alone.
    bool mostlyLfEnds() const { return crlf + lf >= cr; }
};

text_counts_t countBytes(std::span<const std::uint8_t> data) {
    text_counts_t counts;
    counts.size = data.size();
    bool quoted = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint8_t byte = data[i];
        if (byte == '"') {
            quoted = !quoted;
        } else if (byte == 13) {
            if (i + 1 < data.size() && data[i + 1] == 10)
                ++counts.crlf;
            else
                ++counts.cr;
        } else if (byte == 10) {
            if (i == 0 || data[i - 1] != 13) ++counts.lf;
        } else if (byte < 28 && byte != 5 && byte != 9) {
            ++counts.control;
            if (quoted) ++counts.quotedControl;
        } else if (byte >= 'a' && byte <= 'z') {
            ++counts.lower;
        } else if (byte >= 'A' && byte <= 'Z') {
            ++counts.upper;
        } else if (byte >= 0xC1 && byte <= 0xDA) {
            ++counts.petsciiLetters;
        }
    }
    return counts;
}

// The named steps of the decision, entered from the size rules and from each other.
class TextRules {
public:
    explicit TextRules(const text_counts_t& counts) : c_(counts) {}

    std::uint32_t decide() const {
        if (c_.lineEnds() == 0 && c_.control == 0) {
            return c_.lower >= c_.petsciiLetters ? type_id::unix_text : type_id::petscii;
        }
        return c_.size < 161 ? smallFile() : largeFile();
    }

private:
    std::uint32_t smallFile() const {
        if (c_.crlf > c_.lf + c_.cr) {
            const bool fewControls =
                c_.control <= 2 ? (c_.size < 80 || c_.controlPercent() < 5) : c_.controlPercent() < 5;
            if (fewControls) return type_id::dos_text;
            if (c_.mostlyLfEnds()) return text();
            return c_.size >= 80 ? mixed() : shortFile();
        }
        if (c_.lf > c_.crlf + c_.cr) {
            if (c_.size >= 80) return c_.controlPercent() < 5 ? type_id::unix_text : lettersOrLines();
            return c_.control < 3 ? type_id::unix_text : lfCheck();
        }
        if (c_.mostlyLfEnds()) return text();
        if (c_.size < 80) return shortFile();
        return c_.controlPercent() > 4 ? mixed() : letters();
    }

    std::uint32_t largeFile() const {
        if (c_.linePercent() == 0) return type_id::unknown;
        if (c_.crlf > 0) {
            if (c_.crlf > c_.lf + c_.cr) {
                if (c_.controlPercent() < 5) return type_id::dos_text;
                return c_.mostlyLfEnds() ? text() : mixed();
            }
            if (c_.crlf + c_.cr < c_.lf) return lfCheck();
        } else if (c_.cr < c_.lf) {
            return lfCheck();
        }
        if (c_.mostlyLfEnds()) return text();
        return c_.controlPercent() > 4 ? mixed() : letters();
    }

    std::uint32_t lfCheck() const {
        if (c_.controlPercent() < 5) return type_id::unix_text;
        return c_.mostlyLfEnds() ? text() : mixed();
    }

    std::uint32_t shortFile() const { return (c_.controlPercent() >= 5 && c_.control >= 3) ? mixed() : letters(); }

    std::uint32_t letters() const {
        if (c_.lower == 0 || c_.lower < c_.petsciiLetters) return type_id::petscii;
        return lettersOrLines();
    }

    std::uint32_t lettersOrLines() const { return c_.mostlyLfEnds() ? text() : mixed(); }

    std::uint32_t mixed() const {
        if (c_.linePercent() > 0) {
            const bool quotedCodes = c_.control == c_.quotedControl && c_.petsciiLetters >= c_.lower;
            const bool petsciiHeavy = c_.petsciiLetters >= c_.control && c_.petsciiLetters >= c_.lower;
            if (quotedCodes || petsciiHeavy) return type_id::petscii;
        }
        if ((c_.control <= 2 && c_.size < 80) || c_.controlPercent() < 5) {
            if (c_.petsciiPercent() <= 1) return type_id::mac_text;
        }
        return text();
    }

    std::uint32_t text() const {
        return (c_.linePercent() > 0 && c_.controlPercent() <= 10) ? type_id::text : type_id::unknown;
    }

    const text_counts_t& c_;
};

}  // namespace

file_traits_t detectTextOrData(std::span<const std::uint8_t> data) {
    if (data.empty()) return g_unknown_traits;
    const std::uint32_t type = TextRules(countBytes(data)).decide();
    return type == type_id::unknown ? g_unknown_traits : recognised(type);
}

}  // namespace platter::fileid
