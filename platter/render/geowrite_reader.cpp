#include <algorithm>

#include "platter/fileid/vlir_records.hpp"
#include "platter/render/geowrite_document.hpp"

namespace platter {

namespace {

// GEOS Convert layout: info block texts, the VLIR record table, the records' blocks.
constexpr std::size_t kMajorDigit = 342;
constexpr std::size_t kMinorDigit = 344;
constexpr std::size_t kSettings = 389;
constexpr std::size_t kRecordTable = 508;
constexpr std::uint32_t kRecords = 64;
constexpr std::size_t kFirstRecord = 762;
constexpr std::uint64_t kBlockData = 254;
constexpr std::size_t kVersion1RulerBytes = 20;

// Escape codes inside a page's text.
constexpr std::uint8_t kEndOfText = 0;
constexpr std::uint8_t kPageBreak = 12;
constexpr std::uint8_t kPicture = 16;
constexpr std::uint8_t kRuler = 17;
constexpr std::uint8_t kFont = 23;

bool isTextByte(std::uint8_t byte) { return byte == 9 || byte == 13 || (byte >= 32 && byte <= 126); }

std::uint32_t readLe32(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) | std::uint32_t{bytes[3]} << 24;
}

// The bytes a record's table entry says it holds: whole blocks, then the used part
// of the last one (its byte counts from the block's link, so one less is data).
std::uint64_t recordLength(std::uint8_t blocks, std::uint8_t lastByte) {
    if (blocks == 0) return 0;
    return (blocks - 1u) * kBlockData + std::max<std::uint8_t>(lastByte, 1) - 1u;
}

// One record's items into the current page; a record without its 0 byte, or with
// an escape cut off by its end, ends as if the 0 byte followed.
void readRecord(GeoWriteDocument& document, std::span<const std::uint8_t> record) {
    std::size_t at = 0;
    const auto fits = [&](std::size_t count) { return record.size() - at >= count; };
    if (document.majorVersion() == 1) {
        if (!fits(kVersion1RulerBytes)) return document.addEndOfText();
        geowrite_ruler_t ruler;
        std::copy_n(record.begin(), kVersion1RulerBytes, ruler.bytes.begin());
        document.addRuler(ruler);
        at = kVersion1RulerBytes;
    }
    while (at < record.size()) {
        const std::uint8_t byte = record[at];
        if (byte == kEndOfText) break;
        if (byte == kPageBreak) {
            document.addPageBreak();
            at += 1;
        } else if (byte == kPicture) {
            if (!fits(5)) break;
            document.addBitmap(readLe32(record.subspan(at + 1, 4)));
            at += 5;
        } else if (byte == kRuler) {
            if (!fits(27)) break;
            geowrite_ruler_t ruler;
            std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(at) + 1, ruler.bytes.size(), ruler.bytes.begin());
            document.addRuler(ruler);
            at += 27;
        } else if (byte == kFont) {
            if (!fits(4)) break;
            document.addFont(readLe32(record.subspan(at, 4)));
            at += 4;
        } else if (isTextByte(byte)) {
            const auto end =
                std::find_if_not(record.begin() + static_cast<std::ptrdiff_t>(at), record.end(), isTextByte);
            const auto start = record.begin() + static_cast<std::ptrdiff_t>(at);
            document.addText(std::string(start, end));
            at = static_cast<std::size_t>(end - record.begin());
        } else {
            // No meaning in a text: skipped, so the scan always moves on.
            at += 1;
        }
    }
    document.addEndOfText();
}

}  // namespace

std::optional<GeoWriteDocument> readGeoWrite(std::span<const std::uint8_t> convertFile) {
    if (convertFile.size() < kFirstRecord) return std::nullopt;
    GeoWriteDocument document;
    const auto major = static_cast<std::uint8_t>(convertFile[kMajorDigit] - '0');
    document.setVersion(major, static_cast<std::uint8_t>(convertFile[kMinorDigit] - '0'));
    if (major == 2) document.setSettings(convertFile.subspan<kSettings, 9>());
    for (std::uint32_t record = 0; record < kRecords; ++record) {
        const std::uint8_t blocks = convertFile[kRecordTable + 2 * record];
        const std::uint8_t lastByte = convertFile[kRecordTable + 2 * record + 1];
        if (blocks == 0 && lastByte == 0) break;
        if (blocks == 0 && lastByte == 0xFF) continue;
        const std::uint64_t start = vlirRecordOffset(convertFile, record);
        const std::uint64_t length = recordLength(blocks, lastByte);
        if (start == 0 || start > convertFile.size() || length > convertFile.size() - start) return std::nullopt;
        document.setPage(record);
        readRecord(document, convertFile.subspan(start, length));
    }
    return document;
}

}  // namespace platter
