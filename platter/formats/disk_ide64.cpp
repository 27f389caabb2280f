#include "platter/formats/disk_ide64.hpp"

#include <algorithm>
#include <string_view>

#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/listing_documents.hpp"
#include "platter/formats/part_cfs.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

constexpr std::string_view kSignature = "C64 CFS V ";
constexpr std::size_t kSignatureAt = 8;
constexpr std::size_t kListAt = 25;  // track (2 bytes, big-endian) and sector of the partition list
constexpr std::uint64_t kListEntries = 32;
constexpr std::uint64_t kListEntryBytes = 32;
constexpr std::size_t kDiskNameAt = 32;
// Fields of a partition-list entry.
constexpr std::size_t kFlagsAt = 16;
constexpr std::uint8_t kInUse = 0xa0;  // bit 5 or bit 7
constexpr std::size_t kStartAt = 17;
constexpr std::size_t kTypeAt = 20;
constexpr std::size_t kEndAt = 21;
constexpr std::size_t kRootAt = 29;
constexpr std::uint8_t kCfsType = 1;
// Where the synthesized CBM entry keeps them: start, end and root sector, 3 bytes each.
constexpr std::size_t kEntryStartAt = 21;
constexpr std::size_t kEntryEndAt = 24;
constexpr std::size_t kEntryRootAt = 27;

std::uint64_t bigEndian24(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint64_t{bytes[at]} << 16 | std::uint64_t{bytes[at + 1]} << 8 | bytes[at + 2];
}

}  // namespace

DiskIDE64::DiskIDE64() : Disk(format_id::ide64) { setGeometry({0, 256, 0}); }

DiskIDE64::~DiskIDE64() = default;

void DiskIDE64::close() { partitions_.cutAll(); }

// The image's sectors make its tracks; a file without the header is no IDE64 image.
void DiskIDE64::parseImage() {
    setLastError(kErrNone);
    const std::uint64_t sectors = providerSize() / kSectorBytes;
    setGeometry({(sectors + 255) / 256, 256, 0});
    const std::span<const std::uint8_t> header = bytesAt(0, kHeaderBytes);
    if (header.empty() || std::string_view(reinterpret_cast<const char*>(header.data()) + kSignatureAt,
                                           kSignature.size()) != kSignature) {
        setDirectoryStart(noBlock());
        markUnreadable();
        return;
    }
    listSector_ = (std::uint64_t{header[kListAt]} << 8 | header[kListAt + 1]) * 256 + header[kListAt + 2];
    setDirectoryStart(blockOfSector(listSector_));
    const std::span<const std::uint8_t> list = listBytes();
    if (list.size() >= kDiskNameAt + 16) setName(list.subspan(kDiskNameAt, 16));
    notes_ = listDamage();
}

std::uint64_t DiskIDE64::listSlots() const {
    const std::uint64_t at = listSector_ * kSectorBytes;
    const std::uint64_t size = providerSize();
    return at >= size ? 0 : std::min(kListEntries, (size - at) / kListEntryBytes);
}

std::span<const std::uint8_t> DiskIDE64::listBytes() const {
    return bytesAt(listSector_ * kSectorBytes, listSlots() * kListEntryBytes);
}

block_role DiskIDE64::blockRole(const track_sector_t& block, walk_kind /*kind*/) const {
    if (block != blockOfSector(listSector_) || listSector_ * kSectorBytes >= providerSize()) return block_role::outside;
    return listSlots() == kListEntries ? block_role::data : block_role::lacking;
}

chain_stop_t DiskIDE64::directoryStop() const {
    ChainWalk walk(*this, walk_kind::directory, directoryStart());
    if (walk.read()) walk.finish();
    return walk.stop();
}

std::vector<std::string> DiskIDE64::listDamage() const {
    const auto sectors = [](std::uint64_t first, std::uint64_t last) {
        return first == last ? "sector " + std::to_string(first) + " of "
                             : "sectors " + std::to_string(first) + "-" + std::to_string(last) + " of ";
    };
    std::vector<std::string> notes;
    const std::uint64_t slots = listSlots();
    if (slots != 0 && slots < kListEntries) {
        notes.push_back((slots + 1 == kListEntries
                             ? "slot " + std::to_string(slots)
                             : "slots " + std::to_string(slots) + "-" + std::to_string(kListEntries - 1)) +
                        " of the partition list past the end of the file " +
                        (slots + 1 == kListEntries ? "is" : "are") + " missing");
    }
    const std::span<const std::uint8_t> list = listBytes();
    const std::uint64_t held = providerSize() / kSectorBytes;
    for (std::uint64_t slot = 0; slot < slots; ++slot) {
        const std::span<const std::uint8_t> raw = list.subspan(slot * kListEntryBytes, kListEntryBytes);
        const std::uint64_t start = bigEndian24(raw, kStartAt);
        const std::uint64_t end = bigEndian24(raw, kEndAt);
        if ((raw[kFlagsAt] & kInUse) == 0 || end <= start || end <= held) continue;
        const std::uint64_t first = std::max(start, held);
        notes.push_back(sectors(first, end - 1) + "partition '" + petsciiNameToUtf8(paddedName(raw.first(16)), false) +
                        "' past the end of the file " + (first + 1 == end ? "is" : "are") + " missing");
    }
    return notes;
}

void DiskIDE64::setName(std::span<const std::uint8_t> name) {
    named_ = !name.empty();
    if (named_) name_ = paddedName(name);
}

const std::uint8_t* DiskIDE64::diskName() const { return named_ ? name_.data() : nullptr; }

std::array<std::uint8_t, 16> DiskIDE64::paddedName(std::span<const std::uint8_t> name) {
    std::array<std::uint8_t, 16> padded;
    padded.fill(0xa0);
    for (std::size_t i = 0; i < padded.size() && i < name.size() && name[i] != 0; ++i) padded[i] = name[i];
    return padded;
}

std::span<const std::uint8_t> DiskIDE64::bytesAt(std::uint64_t offset, std::uint64_t length) const {
    DataProvider* provider = dataProvider();
    const std::uint8_t* data = provider ? provider->rangeAt(offset, length) : nullptr;
    return data ? std::span<const std::uint8_t>(data, length) : std::span<const std::uint8_t>();
}

bool DiskIDE64::isValidBlock(const track_sector_t& block) const {
    return block.sector < 256 && block.track <= trackCount() &&
           (sectorOfBlock(block) + 1) * kSectorBytes <= providerSize();
}

std::uint64_t DiskIDE64::blockOffset(const track_sector_t& block) const { return sectorOfBlock(block) * kSectorBytes; }

std::string DiskIDE64::typeWord(const dir_entry_t& entry) const {
    switch (entry.typeByte()) {
        case 0: return "NONE";
        case kCfsType: return "CFS ";
        case 2: return "GEOS";
        default: return "????";
    }
}

std::uint64_t DiskIDE64::entryBlocks(const dir_entry_t& entry) const {
    const std::uint64_t start = bigEndian24(entry.bytes, kEntryStartAt);
    const std::uint64_t end = bigEndian24(entry.bytes, kEntryEndAt);
    return end > start ? (end - start) * (kSectorBytes / kBlockSize) : 0;
}

std::uint64_t DiskIDE64::countDirectoryEntries() {
    std::uint64_t count = 0;
    while (locateEntry(count, includeEmpty())) ++count;
    setDirectoryEntryCount(count);
    return count;
}

// The index-th partition in use (every slot with include-empty) as a CBM entry: its type,
// its name, and its start, end and root sectors.
std::uint8_t* DiskIDE64::locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* outBlock,
                                     std::uint64_t* outSlot) {
    const std::span<const std::uint8_t> list = listBytes();
    if (directoryStart().isNone()) return nullptr;
    std::uint64_t counted = 0;
    for (std::uint64_t slot = 0; slot < list.size() / kListEntryBytes; ++slot) {
        const std::span<const std::uint8_t> raw = list.subspan(slot * kListEntryBytes, kListEntryBytes);
        // An entry not in use shows as a scratched one while it has a name.
        const bool inUse = (raw[kFlagsAt] & kInUse) != 0;
        if (!inUse && (!includeEmpty || raw[0] == 0)) continue;
        if (counted++ != index) continue;
        entry_.fill(0);
        if (inUse) entry_[2] = static_cast<std::uint8_t>((raw[kTypeAt] >> 4) & 11);
        const std::array<std::uint8_t, 16> name = paddedName(raw.first(16));
        std::copy(name.begin(), name.end(), entry_.begin() + dir_entry_t::kNameOffset);
        std::copy_n(raw.begin() + kStartAt, 3, entry_.begin() + kEntryStartAt);
        std::copy_n(raw.begin() + kEndAt, 3, entry_.begin() + kEntryEndAt);
        std::copy_n(raw.begin() + kRootAt, 3, entry_.begin() + kEntryRootAt);
        if (outBlock) *outBlock = blockOfSector(listSector_ + slot * kListEntryBytes / kSectorBytes);
        if (outSlot) *outSlot = slot;
        return entry_.data();
    }
    return nullptr;
}

// The partition's sectors as far as the file holds them.
entry_read_t DiskIDE64::readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* /*blocks*/,
                                      const entry_sink_t* sink) {
    entry_read_t read;
    const std::uint64_t bytes = entryBlocks(entry) * kBlockSize;
    const std::uint64_t start = bigEndian24(entry.bytes, kEntryStartAt) * kSectorBytes;
    const std::uint64_t size = providerSize();
    const std::uint64_t end = start < size ? start + std::min(bytes, size - start) : start;
    // A piece at a time straight from the provider; from a piece it cannot give whole on, the
    // rest at once.
    if (const std::uint64_t offset = readImageBytes(start, end, read, sink); offset < end)
        read.take(bytesAt(offset, end - offset), sink);
    if (read.size() == 0) {
        read.outcome = read_outcome::unreadable;
    } else if (read.size() < bytes) {
        read.outcome = read_outcome::cutShort;
        read.expected = bytes;
    }
    return read;
}

// Only CFS partitions open; a GEOS partition or any other kind gives none. One the file ends
// inside opens over what the file holds.
std::shared_ptr<Disk> DiskIDE64::openPartition(const dir_entry_t& entry) {
    if (entry.typeByte() != kCfsType || !dataProvider()) return nullptr;
    const std::uint64_t start = bigEndian24(entry.bytes, kEntryStartAt) * kSectorBytes;
    if (std::shared_ptr<Disk> open = partitions_.find(start)) return open;
    const std::uint64_t end = bigEndian24(entry.bytes, kEntryEndAt) * kSectorBytes;
    const std::uint64_t root = bigEndian24(entry.bytes, kEntryRootAt);
    if (end <= start) return nullptr;
    auto partition = std::make_shared<PartCFS>();
    partition->attach(*dataProvider(), start, end, root, imagePath() / petsciiNameToString(entry.name(), true));
    partitions_.add(partition, partition->tie(), start);
    return partition;
}

std::optional<forge::save_failure_t> DiskIDE64::saveAs(const path& target, const listing_request_t& request) {
    const container_format_t* row = formatByExtension(target.extension().string());
    if (row && isListingDocument(row->id)) return Disk::saveAs(target, request);
    setLastError(kErrImageWrite);
    return forge::save_failure_t{false, "an IDE64 image is read only"};
}

bool DiskIDE64::resize(std::uint64_t /*bytes*/) { return false; }

bool DiskIDE64::insertEntry(std::int64_t /*index*/, const dir_entry_t& /*entry*/, std::uint32_t /*word*/) {
    setLastError(kErrInsertEntry);
    return false;
}

bool DiskIDE64::importFile(std::span<const std::uint8_t, 16> /*name*/, std::int64_t /*position*/,
                           std::span<const std::uint8_t> /*data*/, std::uint8_t /*recordLength*/,
                           const container_format_t* /*row*/) {
    setLastError(kErrImportFailed);
    return false;
}

}  // namespace platter
