#include "platter/archive/lynx_directory.hpp"

#include "platter/core/dir_entry.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/petscii/byte_readers.hpp"
#include "platter/petscii/file_type_names.hpp"

#include <algorithm>

namespace platter {
namespace {

constexpr std::uint8_t kCr = 13;
constexpr std::uint64_t kBlockData = 254;
constexpr std::uint64_t kSideSectorSpan = 120 * kBlockData;

// The directory text read line by line; every read stops at the end of the archive.
class LynxText {
public:
    LynxText(std::span<const std::uint8_t> bytes, std::size_t start) : bytes_(bytes), at_(start) {}

    // The bytes up to the next CR, the cursor moved past it.
    bool line(std::vector<std::uint8_t>& out) {
        out.clear();
        return readLine(out, bytes_, at_) >= 0 && skipPast(kCr, bytes_, at_) > 0;
    }

    // A decimal number on its own line.
    bool numberLine(std::uint64_t& out) {
        std::uint32_t value = 0;
        if (readNumber(value, bytes_, at_) <= 0 || skipPast(kCr, bytes_, at_) < 0) return false;
        out = value;
        return true;
    }

    std::size_t at() const { return at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
};

}  // namespace

lynx_directory_t parseLynxDirectory(std::span<const std::uint8_t> archive, std::uint32_t typeId) {
    if (typeId == 1) typeId = fileid::identify(archive).front().type;
    if (typeId == 0 || archive.empty()) return {};

    const bool fromFirstByte = archive[0] == ' ';
    const std::size_t start = fromFirstByte ? 1 : (typeId == 87 ? 113 : 96);
    const bool lastTakesRest = fromFirstByte || typeId == 87;
    LynxText text(archive, start);

    lynx_directory_t directory;
    std::uint64_t fileCount = 0;
    if (!text.numberLine(directory.blocks) || !text.numberLine(fileCount) || fileCount == 0) return {};
    directory.declared = fileCount;

    std::vector<lynx_entry_t>& entries = directory.entries;
    std::uint64_t dataAt = directory.blocks * kBlockData;
    for (std::uint64_t file = 0; file < fileCount; ++file) {
        lynx_entry_t entry;
        std::vector<std::uint8_t> typeLine;
        std::uint64_t blocks = 0;
        if (!text.line(entry.name) || !text.numberLine(blocks) || !text.line(typeLine)) break;
        while (!entry.name.empty() && entry.name.back() == 0xA0) entry.name.pop_back();
        entry.type = fileTypeFromLetter(typeLine.empty() ? 'P' : static_cast<char>(typeLine.front()));

        std::uint64_t recordLength = 0;
        if (entry.type == kTypeRel && !text.numberLine(recordLength)) break;

        const bool takesRest = lastTakesRest && file + 1 == fileCount;
        std::uint64_t size = std::min(archive.size() - std::min<std::uint64_t>(dataAt, archive.size()),
                                      blocks * kBlockData);
        if (!takesRest) {
            std::uint64_t lastBlock = 0;
            if (!text.numberLine(lastBlock)) break;
            entry.lastBlockBytes = static_cast<std::uint32_t>(std::min<std::uint64_t>(lastBlock, 0xffffffff));
            // A file of 0 blocks is empty.
            entry.unsized = blocks > 0 && lastBlock < 2;
            size = blocks == 0 ? 0 : entry.unsized ? blocks * kBlockData : (blocks - 1) * kBlockData + lastBlock - 1;
        }
        std::uint64_t dataStart = dataAt;
        if (entry.type == kTypeRel) {
            // The side sectors come before the data.
            const std::uint64_t sideSectors = (size + kSideSectorSpan - 1) / kSideSectorSpan;
            const std::uint64_t skipped = sideSectors * kBlockData;
            if (sideSectors > blocks && !takesRest) break;
            blocks -= std::min(blocks, sideSectors);
            dataStart += skipped;
            size -= std::min(size, skipped);
        }

        if (dataStart < archive.size()) {
            const auto data = archive.subspan(dataStart, std::min(size, archive.size() - dataStart));
            entry.data.assign(data.begin(), data.end());
        }
        if (!takesRest && !entry.unsized) entry.expected = size;
        // A file whose size its entry does not give ends somewhere in its last block; an empty
        // one holds no byte the archive must reach.
        if (blocks > 0)
            directory.filesEnd = dataStart + (entry.expected ? *entry.expected : (blocks - 1) * kBlockData + 1);
        entry.blocks = static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, 0xffffffff));
        entry.recordLength = static_cast<std::uint32_t>(std::min<std::uint64_t>(recordLength, 0xffffffff));
        entries.push_back(std::move(entry));
        directory.textEnd = text.at();
        dataAt = dataStart + blocks * kBlockData;
        directory.dataEnd = dataAt;
    }
    return directory;
}

}  // namespace platter
