#include "forge/strings.hpp"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

namespace forge {

std::string expandTemplate(std::string_view text, const std::map<std::string, std::string>& values, bool keepUnknown) {
    constexpr std::string_view open = "{^";
    constexpr std::string_view close = "^}";
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t start = text.find(open, pos);
        const std::size_t end = start == std::string_view::npos ? start : text.find(close, start + open.size());
        if (end == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, start - pos));
        const std::string name(text.substr(start + open.size(), end - start - open.size()));
        if (const auto found = values.find(name); found != values.end())
            out.append(found->second);
        else if (keepUnknown)
            out.append(text.substr(start, end + close.size() - start));
        pos = end + close.size();
    }
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, pos)) {
        out.append(text.substr(pos, hit - pos)).append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

char charToLower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

char charToUpper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

void toLowerInPlace(std::string& text) {
    for (char& c : text) c = charToLower(c);
}

void toUpperInPlace(std::string& text) {
    for (char& c : text) c = charToUpper(c);
}

std::string toLower(std::string_view text) {
    std::string out(text);
    toLowerInPlace(out);
    return out;
}

std::string toUpper(std::string_view text) {
    std::string out(text);
    toUpperInPlace(out);
    return out;
}

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

void trimLeft(std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && isSpace(text[first])) ++first;
    text.erase(0, first);
}

void trimRight(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && isSpace(text[end - 1])) --end;
    text.erase(end);
}

void trimInPlace(std::string& text) {
    trimRight(text);
    trimLeft(text);
}

std::string trim(std::string text) {
    trimInPlace(text);
    return text;
}

std::vector<std::string> split(std::string_view text, char separator, bool keepEmpty) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        const std::string_view piece = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (keepEmpty || !piece.empty()) pieces.emplace_back(piece);
        if (end == std::string_view::npos) return pieces;
        start = end + 1;
    }
}

bool wildcardMatch(std::string_view text, std::string_view pattern) {
    constexpr std::size_t none = std::string_view::npos;
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t afterStar = none;  // pattern position after the last '*'
    std::size_t starText = 0;      // text position that '*' currently stretches to
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            afterStar = ++p;
            starText = t;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (afterStar != none) {
            p = afterStar;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string format(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<std::size_t>(length));
        std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    }
    va_end(args);
    return out;
}

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    std::mbstate_t state{};
    std::size_t pos = 0;
    while (pos < text.size()) {
        wchar_t wide = 0;
        const std::size_t used = std::mbrtowc(&wide, text.data() + pos, text.size() - pos, &state);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            state = std::mbstate_t{};
            ++pos;
            continue;
        }
        const int columns = ::wcwidth(wide);
        if (columns > 0) width += static_cast<std::size_t>(columns);
        pos += used == 0 ? 1 : used;
    }
    return width;
}

void appendUtf8(char32_t codePoint, std::string& out) {
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) codePoint = 0xFFFD;
    if (codePoint <= 0x7F) {
        out += static_cast<char>(codePoint);
        return;
    }
    // The lead byte carries the count of bytes; each following one six bits, low bits last.
    const std::size_t following = codePoint <= 0x7FF ? 1 : codePoint <= 0xFFFF ? 2 : 3;
    constexpr unsigned kLeadMarks[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeadMarks[following] | (codePoint >> (6 * following)));
    for (std::size_t shift = following; shift-- > 0;)
        out += static_cast<char>(0x80 | ((codePoint >> (6 * shift)) & 0x3F));
}

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
        char32_t codePoint = length == 4 ? lead & 0x07u : length == 3 ? lead & 0x0Fu : lead & 0x1Fu;
        bool valid = length > 1 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = codePoint << 6 | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        const char32_t smallest = length == 4 ? 0x10000 : length == 3 ? 0x800 : 0x80;
        if (valid && codePoint >= smallest && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF)) {
            out += codePoint;
            i += length;
        } else {
            out += lead;
            ++i;
        }
    }
    return out;
}

void appendBytes(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void appendBytes(std::vector<char>& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

std::string plural(std::string_view suffix, std::uint64_t count) {
    return count == 1 ? std::string() : std::string(suffix);
}

std::string numberRuns(std::span<const std::uint64_t> numbers) {
    std::vector<std::string> runs;
    for (std::size_t first = 0, last = 0; first < numbers.size(); first = last + 1) {
        last = first;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
        runs.push_back(std::to_string(numbers[first]) + (last > first ? "-" + std::to_string(numbers[last]) : ""));
    }
    std::string text;
    for (std::size_t i = 0; i < runs.size(); ++i)
        text += (i == 0 ? "" : i + 1 == runs.size() ? " and " : ", ") + runs[i];
    return text;
}

}  // namespace forge
