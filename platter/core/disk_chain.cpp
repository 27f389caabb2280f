#include <algorithm>
#include <cstring>

#include "platter/core/chain_walk.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/last_block_byte.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kDataPerBlock = 254;

void appendData(Disk::bytes_t* out, const std::uint8_t* from, std::size_t count) {
    if (out) out->insert(out->end(), from, from + count);
}

// The block after `block` in a partition area's order: the next sector, or the next track's first.
track_sector_t nextAreaBlock(const Disk& disk, const track_sector_t& block) {
    const track_sector_t next = makeBlock(block.track, block.sector + 1);
    return disk.isValidBlock(next) ? next : makeBlock(block.track + 1, 0);
}

// A chain read whole up to `last` (`bytes` of data): when the last block's byte says no size,
// its data are kept whole (the chain gave none of them) and the read is cut short, naming it.
void keepUnsizedLastBlock(const Disk& disk, const track_sector_t& last, std::uint64_t bytes,
                          std::optional<std::size_t> record, entry_read_t& read) {
    if (last.track == 0) return;
    const std::span<const std::uint8_t> block = disk.blockBytes(last);
    if (block.size() < Disk::kBlockSize || !saysNoSize(block[1])) return;
    read.bytes.insert(read.bytes.end(), block.begin() + 2, block.end());
    read.outcome = read_outcome::cutShort;
    if (!read.unsized) read.unsized = unsized_chain_t{record, block[1], bytes / kDataPerBlock + 1};
}

}  // namespace

bool Disk::readChain(std::uint64_t track, std::uint64_t sector, std::uint32_t bamMode, std::uint64_t* size,
                     bytes_t* data, track_sector_t* last, std::vector<track_sector_t>* blocks, bool wholeLastBlock,
                     chain_stop_t* stop, walk_kind kind) {
    if (track == 0) {
        if (last) *last = makeBlock(0, sector);
        if (size) *size = 0;
        if (stop) *stop = chain_stop_t{};
        return true;
    }
    ChainWalk walk(*this, kind, makeBlock(track, sector));
    std::uint64_t bytes = 0;
    // BAM bits change after the walk: a change forgets the directory walk its roles look up.
    std::vector<track_sector_t> walked;
    while (walk.going()) {
        const track_sector_t block = walk.block();
        const std::uint8_t* at = walkRead(walk);
        if (!at) break;
        if (blocks) blocks->push_back(block);
        if (bamMode != 0) walked.push_back(block);
        const std::uint8_t linkTrack = at[0];
        const std::uint8_t linkSector = at[1];
        if (linkTrack != 0) {
            appendData(data, at + 2, kDataPerBlock);
            bytes += kDataPerBlock;
            walk.follow(makeBlock(linkTrack, linkSector));
            continue;
        }
        const std::uint64_t used = wholeLastBlock ? kDataPerBlock : (linkSector >= 2 ? linkSector - 1u : 0);
        appendData(data, at + 2, used);
        if (last) *last = block;
        bytes += linkSector != 0 ? linkSector - 1u : 0;
        walk.finish();
    }
    for (const track_sector_t& block : walked) {
        if (isBlockFree(block) == (bamMode == 1)) toggleBlock(block);
    }
    if (size) *size = bytes;
    if (stop) *stop = walk.stop();
    switch (walk.stop().end) {
        case chain_end::ended: return true;
        case chain_end::unreadable: lastError_ = kErrUnreadableBlock; break;
        case chain_end::leaves:
        case chain_end::missing: lastError_ = kErrPastImage; break;
        case chain_end::turnsBack:
        case chain_end::structure: break;  // a loop keeps the last error, as one into structure
    }
    return false;
}

// A block the walk read is one of the provider's whole blocks: blockRole said so.
const std::uint8_t* Disk::walkRead(ChainWalk& walk) const {
    return walk.read() && provider_ ? provider_->dataAt(blockOffset(walk.block()), walk.block()) : nullptr;
}

block_role Disk::structureRole(const track_sector_t& block) const {
    const auto headsFrame = [&](const dir_frame_t& frame) { return frame.headerBlock == block; };
    if (block == headerBlock_ || block == dirHeader_ || std::any_of(dirStack_.begin(), dirStack_.end(), headsFrame))
        return block_role::header;
    return isBamBlock(block) ? block_role::bam : block_role::data;
}

block_role Disk::blockRole(const track_sector_t& block, walk_kind kind) const {
    if (!holdsBlock(block)) return block_role::outside;
    if (const block_role role = kind == walk_kind::raw ? block_role::data : structureRole(block);
        role != block_role::data)
        return role;
    if (kind == walk_kind::file) {
        const std::vector<track_sector_t>& directory = directoryBlocks();
        if (std::binary_search(directory.begin(), directory.end(), block)) return block_role::directory;
    }
    if (!provider_) return block_role::lacking;
    const std::uint64_t offset = blockOffset(block);
    if (provider_->available(offset) < kBlockSize) return block_role::lacking;
    if (!provider_->isBlockReadable(offset)) return block_role::noData;
    return errorByteMarksBlockUnread(block) ? block_role::noData : block_role::data;
}

block_range_fault Disk::blockRangeFault(std::uint64_t track, std::uint64_t sector, std::uint64_t count) const {
    if (count == 0) return block_range_fault::none;
    track_sector_t block = makeBlock(track, sector);
    if (!holdsBlock(block)) return block_range_fault::outsideImage;
    for (std::uint64_t done = 0; done < count; ++done, block = nextAreaBlock(*this, block)) {
        if (!holdsBlock(block)) return block_range_fault::pastEnd;
        if (block.track == dirStart_.track) return block_range_fault::directoryTrack;
        if (!provider_ || provider_->available(blockOffset(block)) < kBlockSize) return block_range_fault::pastEnd;
    }
    return block_range_fault::none;
}

block_range_fault Disk::partitionFault(const dir_entry_t& entry) const {
    if (!holdsDirectory(entry)) return block_range_fault::none;
    if (entry.fileType() == kTypeCbm) {
        if (const block_range_fault area = blockRangeFault(entry.bytes[3], entry.bytes[4], entry.blockCount());
            area != block_range_fault::none || entry.bytes[4] != 0)
            return area;
    }
    // A subdirectory (a partition that starts a track is one): its header links to a directory
    // of its own, never to one it is entered from.
    const std::uint8_t* header = blockData(entry.firstBlock());
    if (header && startsEnclosingDirectory(makeBlock(header[0], header[1]))) return block_range_fault::enclosingStart;
    return block_range_fault::none;
}

bool Disk::readBlockRange(std::uint64_t track, std::uint64_t sector, std::uint64_t count, std::uint32_t bamMode,
                          bytes_t* out, std::vector<track_sector_t>* blocks) {
    // Checked whole first: a damaged area gives none of its blocks and changes no BAM bit.
    if (blockRangeFault(track, sector, count) != block_range_fault::none) {
        lastError_ = kErrPastImage;
        return false;
    }
    track_sector_t block = makeBlock(track, sector);
    for (std::uint64_t done = 0; done < count; ++done, block = nextAreaBlock(*this, block)) {
        const std::uint8_t* bytes = blockPointer(block);
        if (!bytes) {
            lastError_ = kErrPastImage;
            return false;
        }
        if (!isBlockReadable(block)) {
            lastError_ = kErrUnreadableBlock;
            return false;
        }
        if (bamMode == 1) {
            if (isBlockFree(block)) toggleBlock(block);
        } else if (bamMode != 0) {
            if (!isBlockFree(block)) toggleBlock(block);
        }
        appendData(out, bytes, kBlockSize);
        if (blocks) blocks->push_back(block);
    }
    return true;
}

bool Disk::readFileBlocks(const dir_entry_t& entry, std::uint32_t bamMode, std::vector<track_sector_t>& blocks) {
    // A tape, a partition table and a partition of block lists keep no chains of blocks.
    if (!isCbmDosImage() || hasPartitionTable()) return true;
    const bool geos = isGeosFile(entry);
    if (entry.fileType() == kTypeCbm && hasCbmPartitions() && !geos)
        return readBlockRange(entry.bytes[3], entry.bytes[4], entry.blockCount(), bamMode, nullptr, &blocks);
    std::uint64_t size = 0;
    const auto readPart = [&](const track_sector_t& start) {
        return readChain(start.track, start.sector, bamMode, &size, nullptr, nullptr, &blocks);
    };
    if (!geos) {
        if (!readPart(entry.firstBlock())) return false;
        return entry.fileType() != kTypeRel || readPart(entry.sideBlock());
    }
    bool ok = readPart(entry.sideBlock()) && readPart(entry.firstBlock());
    if (ok && entry.geosStructure() == 1) {
        // Copy the index first: freeing the records journals but the block stays put.
        std::uint8_t index[kBlockSize];
        ok = readSector(entry.firstBlock(), index);
        for (std::size_t i = 2; ok && i + 1 < kBlockSize; i += 2) {
            if (index[i] == 0) {
                if (index[i + 1] == 0) break;
                continue;
            }
            ok = readPart(makeBlock(index[i], index[i + 1]));
        }
    }
    return ok;
}

void Disk::readGeosFile(const dir_entry_t& entry, entry_read_t& read, std::vector<track_sector_t>* blocks) {
    bytes_t& out = read.bytes;
    const bool vlir = entry.geosStructure() == 1;
    out.resize(kDataPerBlock, 0);
    std::copy(entry.bytes.begin() + 2, entry.bytes.end(), out.data());
    const char* signature = vlir ? "PRG formatted GEOS file V1.0" : "SEQ formatted GEOS file V1.0";
    std::memcpy(out.data() + 30, signature, std::strlen(signature));

    // The info block first: without it there is no GEOS Convert form.
    const track_sector_t infoBlock = entry.sideBlock();
    ChainWalk infoWalk(*this, walk_kind::file, infoBlock, 1);
    const std::uint8_t* info = walkRead(infoWalk);
    if (!info) {
        out.clear();
        read.stop = infoWalk.stop();
        read.outcome = read_outcome::unreadable;
        return;
    }
    if (blocks) blocks->push_back(infoBlock);
    out.insert(out.end(), info + 2, info + kBlockSize);
    if (!vlir) {
        std::uint64_t size = 0;
        track_sector_t last = noBlock();
        readChain(entry.bytes[3], entry.bytes[4], 0, &size, &out, &last, blocks, false, &read.stop);
        read.outcome = read.stop.whole() ? read_outcome::whole : read_outcome::cutShort;
        if (read.whole()) keepUnsizedLastBlock(*this, last, size, std::nullopt, read);
        return;
    }
    ChainWalk indexWalk(*this, walk_kind::file, entry.firstBlock(), 1);
    std::uint8_t index[kBlockSize];
    if (!walkRead(indexWalk) || !readSector(entry.firstBlock(), index)) {
        read.stop = indexWalk.stop();
        read.outcome = read_outcome::cutShort;
        return;
    }
    if (blocks) blocks->push_back(entry.firstBlock());
    // The record table becomes (block count, last-byte index) pairs: 00 00
    // ends it, 00 FF marks an empty record.
    const std::size_t tableAt = out.size();
    out.resize(tableAt + kDataPerBlock, 0);
    bool ended = false;
    for (std::size_t i = 2; i + 1 < kBlockSize; i += 2) {
        const std::size_t at = tableAt + i - 2;
        const std::size_t record = (i - 2) / 2;
        if (ended) {
            // A record after the pair that ends the table: the table was ended early.
            if (index[i] != 0) read.outcome = read_outcome::cutShort;
            continue;
        }
        if (index[i] == 0) {
            if (index[i + 1] == 0) {
                ended = true;
                continue;
            }
            out[at] = 0;
            out[at + 1] = 0xff;
            continue;
        }
        const std::size_t padded = (out.size() + kDataPerBlock - 1) / kDataPerBlock * kDataPerBlock;
        out.resize(padded, 0);
        std::uint64_t size = 0;
        track_sector_t last = noBlock();
        std::vector<track_sector_t> recordBlocks;
        const bool ok = readChain(index[i], index[i + 1], 0, &size, &out, &last, &recordBlocks, false, &read.stop);
        // A record that leads into the file's own index or info block turns back there.
        const auto intoFile = std::find_if(recordBlocks.begin(), recordBlocks.end(), [&](const track_sector_t& b) {
            return b == entry.firstBlock() || b == infoBlock;
        });
        if (intoFile != recordBlocks.end()) {
            const std::size_t kept = static_cast<std::size_t>(intoFile - recordBlocks.begin());
            out.resize(padded + kept * kDataPerBlock);
            read.stop = chain_stop_t{chain_end::turnsBack, kept == 0 ? entry.firstBlock() : *(intoFile - 1), *intoFile};
            read.outcome = read_outcome::cutShort;
            return;
        }
        if (!ok) {
            read.outcome = read_outcome::cutShort;
            return;
        }
        if (blocks) blocks->insert(blocks->end(), recordBlocks.begin(), recordBlocks.end());
        const std::size_t before = out.size();
        keepUnsizedLastBlock(*this, last, size, record, read);
        size += out.size() - before;
        const std::uint64_t count = recordBlocks.size();
        const std::uint64_t lastBytes = size - kDataPerBlock * (count - 1);
        if (count > kConvertRecordBlocks) read.recordsCountedShort.push_back({record, count});
        out[at] = static_cast<std::uint8_t>(std::min(count, kConvertRecordBlocks));
        out[at + 1] = static_cast<std::uint8_t>(lastBytes + 1);
    }
}

void Disk::noteEntryDamage(const dir_entry_t& entry, read_outcome outcome, std::string text) {
    damagedEntries_.emplace_back(entry, outcome);
    if (!text.empty()) noteDamage(std::move(text));
}

entry_read_t Disk::readEntry(const dir_entry_t& entry, std::vector<track_sector_t>* blocks) {
    return readEntryChecked(entry, blocks, nullptr);
}

entry_read_t Disk::readEntry(const dir_entry_t& entry, const entry_sink_t& sink, std::vector<track_sector_t>* blocks) {
    entry_read_t read = readEntryChecked(entry, blocks, &sink);
    read.take(read.bytes, &sink);
    read.bytes = {};
    return read;
}

// An area its kind cannot use is refused before any of it is read.
entry_read_t Disk::readEntryChecked(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                                    const entry_sink_t* sink) {
    if (const block_range_fault area = partitionFault(entry); area != block_range_fault::none) {
        entry_read_t refused;
        refused.outcome = read_outcome::areaFault;
        refused.area = area;
        return refused;
    }
    entry_read_t read = readEntryData(entry, blocks, sink);
    const auto noted = std::find_if(damagedEntries_.begin(), damagedEntries_.end(), [&](const auto& damaged) {
        return std::equal(entry.bytes.begin() + 2, entry.bytes.end(), damaged.first.bytes.begin() + 2);
    });
    if (noted != damagedEntries_.end() && read.whole()) {
        read.outcome = noted->second;
        read.namedByContainer = true;
    }
    return read;
}

entry_read_t Disk::readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* blocks,
                                 const entry_sink_t* /*sink*/) {
    entry_read_t read;
    // A GEOS file by its entry whose info block the image lacks is read as one: it fails there.
    if (isGeosFile(entry) || (entry.saysGeos() && entry.bytes[24] != 0)) {
        readGeosFile(entry, read, blocks);
        return read;
    }
    if (entry.fileType() == kTypeCbm && hasCbmPartitions()) {
        if (!readBlockRange(entry.bytes[3], entry.bytes[4], entry.blockCount(), 0, &read.bytes)) {
            read.bytes.clear();
            read.outcome = read_outcome::unreadable;
        }
        return read;
    }
    // No first block: an entry without data (directory art: a DEL entry, or one of no blocks)
    // is whole and empty, any other holds nothing that can be read. So is a DEL entry of no
    // blocks whose first block is the directory's own or other structure: art too.
    const bool art = entry.fileType() == kTypeDel && entry.blockCount() == 0 &&
                     isStructure(blockRole(entry.firstBlock(), walk_kind::file));
    if (entry.firstBlock().track == 0 || art) {
        if (entry.fileType() != kTypeDel && entry.blockCount() != 0) read.outcome = read_outcome::unreadable;
        return read;
    }
    std::uint64_t size = 0;
    track_sector_t last = noBlock();
    readChain(entry.bytes[3], entry.bytes[4], 0, &size, &read.bytes, &last, blocks, false, &read.stop);
    read.outcome = outcomeOf(read.stop, !read.bytes.empty());
    if (read.whole()) keepUnsizedLastBlock(*this, last, size, std::nullopt, read);
    return read;
}

std::uint64_t Disk::readImageBytes(std::uint64_t offset, std::uint64_t end, entry_read_t& read,
                                   const entry_sink_t* sink) {
    constexpr std::uint64_t kPiece = std::uint64_t{1} << 20;
    DataProvider* provider = dataProvider();
    if (provider == nullptr || offset >= end) return offset;
    std::vector<std::uint8_t> piece;
    if (sink == nullptr) read.bytes.reserve(read.bytes.size() + static_cast<std::size_t>(end - offset));
    while (offset < end) {
        auto length = static_cast<std::size_t>(std::min(kPiece, end - offset));
        // A sink that wants a few first bytes is read the blocks that hold them.
        if (sink && read.streamed < sink->wanted && sink->wanted - read.streamed < length) {
            const std::uint64_t blocks = (sink->wanted - read.streamed + kBlockSize - 1) / kBlockSize;
            length = static_cast<std::size_t>(std::min<std::uint64_t>(length, blocks * kBlockSize));
        }
        // Past the bytes the sink wants, a piece the file holds is counted, not read.
        if (sink && read.streamed >= sink->wanted && provider->holdsRange(offset, length)) {
            read.streamed += length;
            offset += length;
            continue;
        }
        // Bytes the read keeps are copied in place, behind those before them.
        std::vector<std::uint8_t>& into = sink ? piece : read.bytes;
        const std::size_t at = sink ? 0 : into.size();
        into.resize(at + length);
        if (!provider->copyBytes(offset, {into.data() + at, length})) {
            into.resize(at);
            break;
        }
        if (sink) read.take(piece, sink);
        offset += length;
    }
    return offset;
}

bool Disk::readFileByIndex(std::uint64_t index, bool includeEmpty, bytes_t& out) {
    const std::uint8_t* stored = locateEntry(index, includeEmpty);
    if (!stored) return false;
    const dir_entry_t entry = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
    // An entry without data reads as no file, but for a DEL entry.
    entry_read_t read = readEntry(entry);
    if (!read.whole() || read.bytes.empty()) return entry.fileType() == kTypeDel;
    out.insert(out.end(), read.bytes.begin(), read.bytes.end());
    return true;
}

std::uint64_t Disk::fileSize(std::uint64_t index) {
    const std::uint8_t* stored = entryAt(index);
    if (!stored) return 0;
    const dir_entry_t entry = dir_entry_t::fromBytes(std::span<const std::uint8_t>(stored, dir_entry_t::kSize));
    const entry_read_t read = readEntry(entry);
    return read.whole() ? read.bytes.size() : 0;
}

bool Disk::nextBlock(track_sector_t& block) {
    const std::uint8_t* bytes = blockPointer(block);
    if (!bytes || bytes[0] == 0) return false;
    block = makeBlock(bytes[0], bytes[1]);
    return true;
}

chain_stop_t Disk::directoryStop() const {
    chain_stop_t stop = directoryWalkStop();
    if (!stop.whole() && stop.from.isNone() && !dirStack_.empty()) stop.from = dirHeader_;
    return stop;
}

chain_stop_t Disk::chainStop(const track_sector_t& start, walk_kind kind, std::vector<track_sector_t>* blocks) const {
    // A CBM link to track 0 leads nowhere: an empty chain.
    if (start.track == 0 && !isValidBlock(start)) return chain_stop_t{};
    ChainWalk walk(*this, kind, start);
    while (walk.going()) {
        const track_sector_t block = walk.block();
        const std::uint8_t* data = walkRead(walk);
        if (!data) break;
        if (blocks) blocks->push_back(block);
        walk.follow(data[0] == 0 ? noBlock() : makeBlock(data[0], data[1]));
    }
    return walk.stop();
}

}  // namespace platter
