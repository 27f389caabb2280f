#include <algorithm>
#include <array>
#include <string_view>

#include "forge/files.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/petscii/ascii_to_petscii.hpp"
#include "platter/core/host_entry_names.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kDataPerBlock = 254;
constexpr std::size_t kP00HeaderSize = 26;
constexpr std::size_t kSideSectors = 6;
constexpr std::size_t kPointersPerSideSector = 120;

std::uint64_t blocksFor(std::uint64_t bytes) { return (bytes + kDataPerBlock - 1) / kDataPerBlock; }

bool hasP00Signature(std::span<const std::uint8_t> data) {
    static constexpr std::string_view kSignature{"C64File\0", 8};
    return data.size() >= kP00HeaderSize && std::equal(kSignature.begin(), kSignature.end(), data.begin());
}

}  // namespace

bool Disk::importHostFile(const path& file, std::int64_t position) {
    lastError_ = kErrNone;
    const container_format_t* row = formatByExtension(file.extension().string());
    if (!row) row = formatById(format_id::prg);
    if (!forge::isRegularFile(file.string())) {
        lastError_ = kErrOpenFile;
        return false;
    }
    forge::file_t host;
    if (!forge::readFile(file.string(), host)) {
        lastError_ = kErrHostRead;
        return false;
    }
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    petsciiNameFromPath(file.string(), name);
    return importFile(name, position, host.data, 0, row);
}

bool Disk::importFile(std::span<const std::uint8_t, 16> name, std::int64_t position, std::span<const std::uint8_t> data,
                      std::uint8_t recordLength, const container_format_t* row) {
    lastError_ = kErrNone;
    const format_id rowId = row ? row->id : format_id::prg;
    // A GEOS Convert file keeps its own name and entry and undoes its own failure.
    if (rowId == format_id::cvt) return importCvt(data, position);
    // Rows without a CBM file type (containers) are stored as PRG; text as SEQ.
    std::uint32_t type = row ? row->cbmType : std::uint32_t{kTypePrg};
    if (type == kCbmTypeText) type = kTypeSeq;
    if (type > kTypeDir) type = kTypePrg;

    // One group from here on: a failed import also takes back the space it grew the image by.
    UndoGroup group(*this);
    dir_entry_t entry;
    entry.setName(name);
    std::span<const std::uint8_t> payload = data;
    bytes_t converted;
    std::uint32_t word = data.size() >= 2 ? data[0] * 256u + data[1] : 0;
    switch (rowId) {
        case format_id::txt:
            asciiToPetscii(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), converted,
                           Charset::upperGraphics);
            payload = converted;
            break;
        case format_id::cbm: {
            if (position < 0 || !createSubdirectory(static_cast<std::uint64_t>(position), (data.size() + 255) / 256))
                return false;
            std::uint8_t* stored = entryAt(static_cast<std::uint64_t>(position));
            if (!stored) return false;
            // A partition is whole tracks and may come out smaller than the data; the rest
            // would be written over the blocks after it.
            if (stored[30] + stored[31] * 256u < (data.size() + 255) / 256) {
                lastError_ = kErrImportFailed;
                return false;
            }
            std::copy(name.begin(), name.end(), stored + dir_entry_t::kNameOffset);
            if (!writeRawBlocks(data, makeBlock(stored[3], stored[4]))) return false;
            group.commit("Import File");
            return true;
        }
        default:
            if (isP00Family(rowId)) {
                // The "C64File" header carries the name and the REL record length; a file
                // without it is no P00 file, whatever its name says.
                if (!hasP00Signature(data)) {
                    lastError_ = kErrImportFailed;
                    return false;
                }
                std::array<std::uint8_t, 16> headerName;
                std::copy_n(data.begin() + 8, 16, headerName.begin());
                for (std::size_t i = 16; i > 0 && headerName[i - 1] == 0; --i) headerName[i - 1] = 0xa0;
                entry.setName(headerName);
                if (type == kTypeRel) recordLength = data[25];
                payload = data.subspan(kP00HeaderSize);
            }
            break;
    }
    // The room is counted for what is stored, a P00 file's payload without its header; the
    // image grows inside the group.
    std::uint64_t blocks = blocksFor(payload.size());
    if (growsOnDemand_) {
        while (blocksFree() < blocks && extendDisk(true)) {}
    }
    if (blocksFree() < blocks) {
        lastError_ = kErrDiskFull;
        return false;
    }
    entry.bytes[2] = static_cast<std::uint8_t>(type | 0x80);

    auto fail = [this]() {
        if (lastError_ == kErrNone) lastError_ = kErrImportFailed;
        return false;
    };
    track_sector_t first{};
    if (!payload.empty()) {
        if (!writeChain(payload, first)) return fail();
        entry.bytes[3] = static_cast<std::uint8_t>(first.track);
        entry.bytes[4] = static_cast<std::uint8_t>(first.sector);
    } else if (rowId == format_id::del) {
        entry.bytes[3] = static_cast<std::uint8_t>(headerBlock_.track);
        entry.bytes[4] = static_cast<std::uint8_t>(headerBlock_.sector);
    }
    if (type == kTypeRel && !payload.empty()) {
        track_sector_t side{};
        if (!createSideSectors(first, recordLength, side)) return fail();
        entry.bytes[21] = static_cast<std::uint8_t>(side.track);
        entry.bytes[22] = static_cast<std::uint8_t>(side.sector);
        std::uint64_t sideBytes = 0;
        if (!readChain(side, 0, &sideBytes)) return fail();
        blocks += blocksFor(sideBytes);
    }
    if (type == kTypeRel) entry.bytes[23] = recordLength;
    entry.setBlockCount(static_cast<std::uint16_t>(std::min<std::uint64_t>(blocks, 0xffff)));
    if (!insertEntry(position, entry, word)) return fail();
    group.commit("Import File");
    return true;
}

bool Disk::writeChain(std::span<const std::uint8_t> data, track_sector_t& first) {
    if (data.empty()) return false;
    UndoGroup group(*this);
    track_sector_t previous{};
    std::uint8_t* previousData = nullptr;
    std::size_t done = 0;
    while (done < data.size()) {
        track_sector_t block = previous;
        std::uint8_t* bytes = allocateBlock(block, true);
        if (!bytes) {
            lastError_ = kErrDiskFull;
            return false;
        }
        pushUndoRecord(kUndoBytes, block, 0, std::span<const std::uint8_t>(bytes, kBlockSize));
        if (previousData) {
            previousData[0] = static_cast<std::uint8_t>(block.track);
            previousData[1] = static_cast<std::uint8_t>(block.sector);
        } else {
            first = block;
        }
        const std::size_t chunk = std::min<std::size_t>(kDataPerBlock, data.size() - done);
        std::copy_n(data.data() + done, chunk, bytes + 2);
        done += chunk;
        if (done == data.size()) {
            bytes[0] = 0;
            bytes[1] = static_cast<std::uint8_t>(chunk + 1);
        }
        previous = block;
        previousData = bytes;
    }
    group.commit("Import File");
    return true;
}

bool Disk::createSideSectors(const track_sector_t& first, std::uint8_t recordLength, track_sector_t& side) {
    std::vector<track_sector_t> sides;
    bool groupOpen = false;
    std::size_t pointers = kPointersPerSideSector;  // full: the first data block takes a new one
    bool ok = true;
    ChainWalk walk(*this, walk_kind::file, first);
    while (walk.going()) {
        const track_sector_t block = walk.block();
        const std::uint8_t* data = walkRead(walk);
        if (!data) break;
        if (pointers == kPointersPerSideSector) {
            if (sides.size() == kSideSectors) {
                ok = false;
                break;
            }
            if (!groupOpen) {
                beginUndoGroup();
                groupOpen = true;
            }
            track_sector_t fresh{};
            std::uint8_t* bytes = allocateBlock(fresh, true);
            if (!bytes) {
                ok = false;
                break;
            }
            pushUndoRecord(kUndoBytes, fresh, 0, std::span<const std::uint8_t>(bytes, kBlockSize));
            std::fill(bytes, bytes + kBlockSize, std::uint8_t{0});
            sides.push_back(fresh);
            pointers = 0;
            data = blockPointer(block);
        }
        std::uint8_t* current = blockPointer(sides.back());
        current[16 + pointers * 2] = static_cast<std::uint8_t>(block.track);
        current[17 + pointers * 2] = static_cast<std::uint8_t>(block.sector);
        ++pointers;
        walk.follow(data[0] == 0 ? noBlock() : makeBlock(data[0], data[1]));
    }
    ok = ok && walk.stop().whole();
    if (groupOpen) endUndoGroup("Create Side Sector");
    for (std::size_t i = 0; i < sides.size(); ++i) {
        std::uint8_t* bytes = blockPointer(sides[i]);
        if (i + 1 < sides.size()) {
            bytes[0] = static_cast<std::uint8_t>(sides[i + 1].track);
            bytes[1] = static_cast<std::uint8_t>(sides[i + 1].sector);
        } else {
            bytes[0] = 0;
            bytes[1] = static_cast<std::uint8_t>(16 + pointers * 2 - 1);
        }
        bytes[2] = static_cast<std::uint8_t>(i);
        bytes[3] = recordLength;
        for (std::size_t k = 0; k < sides.size(); ++k) {
            bytes[4 + k * 2] = static_cast<std::uint8_t>(sides[k].track);
            bytes[5 + k * 2] = static_cast<std::uint8_t>(sides[k].sector);
        }
    }
    if (!sides.empty()) side = sides.front();
    return ok;
}

bool Disk::writeRawBlocks(std::span<const std::uint8_t> data, track_sector_t start) {
    if (data.size() < kBlockSize) {
        lastError_ = kErrBadSize;
        return false;
    }
    std::size_t done = 0;
    track_sector_t block = start;
    while (data.size() - done >= kBlockSize) {
        if (block.track == dirStart_.track || block.track > geometry_.trackCount) {
            lastError_ = kErrPastImage;
            return false;
        }
        if (!isValidBlock(block)) {
            block = makeBlock(block.track + 1, 0);
            continue;
        }
        std::uint8_t* bytes = blockPointer(block);
        if (!bytes || !isBlockReadable(block)) {
            lastError_ = kErrUnreadableBlock;
            return false;
        }
        pushUndoRecord(kUndoBytes, block, 0, std::span<const std::uint8_t>(bytes, kBlockSize));
        std::copy_n(data.data() + done, kBlockSize, bytes);
        done += kBlockSize;
        ++block.sector;
    }
    if (done != data.size()) {
        lastError_ = kErrBadSize;
        return false;
    }
    setModified(true);
    return true;
}

}  // namespace platter
