#include "platter/formats/disk_t64.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "forge/save_file.hpp"
#include "forge/strings.hpp"
#include "platter/core/container_format.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/library_options.hpp"
#include "platter/core/transfer_padding.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

constexpr std::uint64_t kTrackBytes = 65536;
constexpr std::uint64_t kMaxEntriesAt = 0x22;
constexpr std::uint64_t kUsedEntriesAt = 0x24;
constexpr std::uint64_t kTapeNameAt = 0x28;
constexpr std::uint64_t kIdAt = 0x38;
// Fields of a tape entry.
constexpr std::size_t kUsedAt = 0;
constexpr std::size_t kFileTypeAt = 1;
constexpr std::size_t kStartAt = 2;
constexpr std::size_t kEndAt = 4;
constexpr std::size_t kOffsetAt = 8;
constexpr std::size_t kNameAt = 16;
constexpr std::uint64_t kDataPerBlock = 254;
// A CBM view keeps the low 24 bits of a data offset (bytes 1, 3 and 4).
constexpr std::uint64_t kViewOffsetMask = 0xffffff;
// One old converter wrote this end address into every entry it made, whatever the length.
constexpr std::uint64_t kConverterEndAddress = 0xc3c6;
constexpr std::string_view kSignature = "C64S tape image file";

// The tape's own undo records: bytes of the file at an offset (value), the gap of a new entry
// slot (value = its offset) and data cut out of the file (value = offset, saved = the data).
constexpr std::uint32_t kUndoTapeBytes = kUndoClassFirst;
constexpr std::uint32_t kUndoAddTapeEntry = kUndoClassFirst + 1;
constexpr std::uint32_t kUndoCutData = kUndoClassLast;

std::uint64_t slotOffset(std::uint64_t slot) { return DiskT64::kHeaderSize + slot * DiskT64::kEntrySize; }

std::uint64_t wordAt(const std::uint8_t* at, std::size_t length) {
    std::uint64_t value = 0;
    for (std::size_t i = length; i > 0; --i) value = value << 8 | at[i - 1];
    return value;
}

void putWord(std::uint8_t* at, std::uint64_t value, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

disk_geometry_t geometryFor(std::uint64_t bytes) { return {bytes / kTrackBytes + 1, 256, 0}; }

// The data length an entry's end address gives; none when the address lies at or below the
// start address, or is the converter's constant.
std::optional<std::uint64_t> statedLength(std::uint64_t start, std::uint64_t end) {
    if (end <= start || end == kConverterEndAddress) return std::nullopt;
    return end - start;
}

// A tape entry's 16 name bytes, trailing spaces turned into 0xA0 as a CBM name pads.
std::array<std::uint8_t, 16> cbmName(const std::uint8_t* stored) {
    std::array<std::uint8_t, 16> name;
    std::copy_n(stored, name.size(), name.begin());
    for (std::size_t i = name.size(); i > 0 && name[i - 1] == ' '; --i) name[i - 1] = 0xa0;
    return name;
}

}  // namespace

DiskT64::DiskT64() : Disk(format_id::t64) {
    setGeometry(geometryFor(0));
    setDefaultImageSize(kNewTapeSize);
    setGrowsOnDemand(true);
}

void DiskT64::parseImage() {
    forgetIndex();
    setLastError(kErrNone);
    setGeometry(geometryFor(tapeSize()));
    if (tapeSize() < kHeaderSize) markSizeUnknown();
}

std::uint64_t DiskT64::tapeSize() const { return dataProvider() ? dataProvider()->size() : 0; }

std::span<std::uint8_t> DiskT64::tapeBytes(std::uint64_t offset, std::uint64_t length) const {
    DataProvider* provider = dataProvider();
    if (!provider || offset > tapeSize() || provider->available(offset) < length) return {};
    std::uint8_t* data = provider->dataAt(offset, track_sector_t{});
    return data ? std::span<std::uint8_t>(data, length) : std::span<std::uint8_t>();
}

bool DiskT64::setTapeBytes(std::uint64_t offset, std::span<const std::uint8_t> bytes, const std::string& name) {
    const std::span<std::uint8_t> target = tapeBytes(offset, bytes.size());
    if (target.size() != bytes.size()) return false;
    pushUndoRecord(kUndoTapeBytes, track_sector_t{}, offset, target, name);
    std::copy(bytes.begin(), bytes.end(), target.begin());
    forgetIndex();
    setModified(true);
    return true;
}

bool DiskT64::setWord(std::uint64_t offset, std::uint64_t value, std::size_t length, const std::string& name) {
    std::array<std::uint8_t, 4> bytes{};
    putWord(bytes.data(), value, length);
    return setTapeBytes(offset, std::span<const std::uint8_t>(bytes.data(), length), name);
}

bool DiskT64::isValidBlock(const track_sector_t& block) const {
    return block.track >= 1 && block.sector < 256 && blockOffset(block) + kBlockSize <= tapeSize();
}

std::uint64_t DiskT64::blockOffset(const track_sector_t& block) const {
    return (block.track - 1) * kTrackBytes + block.sector * kBlockSize;
}

const std::uint8_t* DiskT64::diskName() const { return tapeBytes(kTapeNameAt, 16).data(); }

const std::uint8_t* DiskT64::diskId() const { return tapeBytes(kIdAt, 5).data(); }

std::uint64_t DiskT64::headerSlots() const {
    const std::span<const std::uint8_t> field = tapeBytes(kMaxEntriesAt, 2);
    return field.empty() || tapeSize() < kHeaderSize ? 0 : wordAt(field.data(), 2);
}

std::uint64_t DiskT64::slotCount() const { return tapeIndex().slots; }

std::uint64_t DiskT64::slotsBeforeData(std::uint64_t promised) const {
    std::uint64_t end = tapeSize();
    std::uint64_t slots = 0;
    while (slotOffset(slots + 1) <= end) {
        const std::span<const std::uint8_t> entry = tapeBytes(slotOffset(slots), kEntrySize);
        const std::uint64_t offset = entry.empty() ? 0 : wordAt(&entry[kOffsetAt], 4);
        // Past the slots the header promises (tapes often count too few), only entries of a
        // file whose data lie after them, before the end of the tape.
        if (slots >= promised &&
            (entry.empty() || entry[kUsedAt] != 1 || offset < slotOffset(slots + 1) || offset >= tapeSize()))
            break;
        ++slots;
        if (entry.empty() || entry[kUsedAt] == 0) continue;
        // An offset into the slots read so far says nothing of where they end.
        if (offset >= slotOffset(slots)) end = std::min(end, offset);
    }
    return slots;
}

std::span<std::uint8_t> DiskT64::slotBytes(std::uint64_t slot) const {
    return slot < slotCount() ? tapeBytes(slotOffset(slot), kEntrySize) : std::span<std::uint8_t>();
}

const DiskT64::tape_index_t& DiskT64::tapeIndex() const {
    if (index_.valid && index_.size == tapeSize()) return index_;
    tape_index_t& index = index_;
    index.files.clear();
    index.used.clear();
    index.size = tapeSize();
    // The slots are read directly: slotBytes would ask this index for their count.
    index.slots = slotsBeforeData(headerSlots());
    index.fileOfSlot.assign(index.slots, kNoFile);
    for (std::uint64_t slot = 0; slot < index.slots; ++slot) {
        const std::span<const std::uint8_t> entry = tapeBytes(slotOffset(slot), kEntrySize);
        if (entry.empty() || entry[kUsedAt] == 0) continue;
        index.used.push_back(slot);
        index.files.push_back({slot, wordAt(&entry[kOffsetAt], 4)});
    }
    std::vector<tape_file_t>& files = index.files;
    std::stable_sort(files.begin(), files.end(),
                     [](const tape_file_t& a, const tape_file_t& b) { return a.offset < b.offset; });
    // Data inside the header and directory are none of the entry's.
    const std::uint64_t directoryEnd = slotOffset(index.slots);
    std::size_t inside = 0;
    for (; inside < files.size() && files[inside].offset < directoryEnd; ++inside) {
        files[inside].faults = kInsideDirectory;
        index.fileOfSlot[files[inside].slot] = inside;
    }
    for (std::size_t first = inside, next = inside; first < files.size(); first = next) {
        // The entries whose data start at one offset end where the next entry's data start.
        next = first + 1;
        while (next < files.size() && files[next].offset == files[first].offset) ++next;
        const bool last = next == files.size();
        const std::uint64_t bound = last ? std::max(index.size, files[first].offset) : files[next].offset;
        for (std::size_t i = first; i < next; ++i) {
            measureFile(files[i], bound, next - first > 1, last);
            index.fileOfSlot[files[i].slot] = i;
        }
        // An end address that overshoots the next entry's data, or stops short of data that
        // are no padding: the offsets or the end address lie, and either neighbour may hold
        // the other's bytes.
        if (next - first == 1 && files[first].faults & kDisagrees) {
            if (files[first].overshoots && !last) files[next].faults |= kDisagrees;
            if (!files[first].overshoots && first > inside) files[first - 1].faults |= kDisagrees;
        }
    }
    // Data inside the directory lie somewhere else, and data that begin inside the slots the
    // header promises may begin elsewhere: an entry that only the next one's data bound may
    // hold their bytes.
    if (inside > 0 || headerSlots() > index.slots) {
        for (std::size_t i = inside; i < files.size(); ++i)
            if (!files[i].endAgrees && !files[i].cutShort && files[i].faults == 0) files[i].faults |= kUnplaced;
    }
    index.byView.clear();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::span<const std::uint8_t> entry = tapeBytes(slotOffset(files[i].slot), kEntrySize);
        index.byView.push_back({files[i].offset & kViewOffsetMask, cbmName(&entry[kNameAt]), i});
    }
    std::sort(index.byView.begin(), index.byView.end());
    index.valid = true;
    return index;
}

void DiskT64::measureFile(tape_file_t& file, std::uint64_t bound, bool shared, bool last) const {
    const std::span<const std::uint8_t> entry = tapeBytes(slotOffset(file.slot), kEntrySize);
    const std::uint64_t start = wordAt(&entry[kStartAt], 2);
    const std::uint64_t end = wordAt(&entry[kEndAt], 2);
    const std::uint64_t gap = bound - file.offset;
    const std::uint64_t there = file.offset < tapeSize() ? tapeSize() - file.offset : 0;
    const std::optional<std::uint64_t> stated = statedLength(start, end);
    std::uint64_t extent = gap;
    if (shared) {
        // Entries that share their data: the end address is all that tells them apart.
        extent = std::min(gap, end >= start ? end - start : 0);
    } else if (stated && *stated < gap && *stated <= there) {
        // The end address is taken where only zeros follow it up to the gap: they are padding.
        const std::uint64_t padding = std::min(gap, there) - *stated;
        const std::span<const std::uint8_t> rest = tapeBytes(file.offset + *stated, padding);
        const bool zeros = std::all_of(rest.begin(), rest.end(), [](std::uint8_t b) { return b == 0; });
        if (rest.size() == padding && (zeros || (last && isTransferPadding(rest)))) extent = *stated;
    }
    // Data that the file holds only in part: they start or run past the end of the tape, or no
    // entry's data follow and the end address says more than the tape holds.
    file.cutShort = file.offset > tapeSize() || extent > there || (last && stated && *stated > there);
    const bool endAgrees = ((start + extent) & 0xffff) == end;  // 16 bits: a longer file's wraps
    file.endAgrees = stated.has_value() && endAgrees;
    if (shared) {
        file.faults |= kSharesData;
    } else if (stated && !endAgrees && !file.cutShort) {
        file.faults |= kDisagrees;
        file.overshoots = *stated > gap;
    }
    file.size = std::min(extent, there);
    file.stored = shared ? file.size : std::min(gap, there);
}

std::uint64_t DiskT64::usedSlots() const { return tapeIndex().used.size(); }

std::optional<std::uint64_t> DiskT64::slotOfIndex(std::uint64_t index, bool includeEmpty) const {
    if (includeEmpty) return index < slotCount() ? std::optional(index) : std::nullopt;
    const std::vector<std::uint64_t>& used = tapeIndex().used;
    return index < used.size() ? std::optional(used[index]) : std::nullopt;
}

std::optional<DiskT64::tape_file_t> DiskT64::fileOfSlot(std::uint64_t slot) const {
    const tape_index_t& index = tapeIndex();
    if (slot >= index.fileOfSlot.size() || index.fileOfSlot[slot] == kNoFile) return std::nullopt;
    return index.files[index.fileOfSlot[slot]];
}

std::optional<DiskT64::tape_file_t> DiskT64::fileAtOffset(std::uint64_t offset, const dir_entry_t* named) const {
    const tape_index_t& index = tapeIndex();
    const std::vector<view_key_t>& keys = index.byView;
    view_key_t wanted{offset & kViewOffsetMask, {}, 0};
    const auto first = std::lower_bound(keys.begin(), keys.end(), wanted);
    if (first == keys.end() || first->offset != wanted.offset) return std::nullopt;
    // Entries that share their data are told apart by their names.
    if (named) {
        std::copy(named->name().begin(), named->name().end(), wanted.name.begin());
        const auto it = std::lower_bound(first, keys.end(), wanted);
        if (it != keys.end() && it->offset == wanted.offset && it->name == wanted.name) return index.files[it->file];
    }
    return index.files[first->file];
}

std::uint64_t DiskT64::countDirectoryEntries() {
    const std::uint64_t count = includeEmpty() ? slotCount() : usedSlots();
    setDirectoryEntryCount(count);
    return count;
}

std::uint8_t* DiskT64::locateEntry(std::uint64_t index, bool includeEmpty, track_sector_t* block,
                                   std::uint64_t* slotOut) {
    const std::optional<std::uint64_t> slot = slotOfIndex(index, includeEmpty);
    if (!slot) return nullptr;
    const std::span<const std::uint8_t> entry = slotBytes(*slot);
    view_.fill(0);
    if (entry[kUsedAt] != 0) {
        // Bytes 1, 3 and 4 name the data's offset: the block that holds its start and the
        // position in it.
        const std::uint64_t offset = wordAt(&entry[kOffsetAt], 4);
        const std::optional<tape_file_t> file = fileOfSlot(*slot);
        const std::uint64_t size = file ? file->size : 0;
        view_[0] = static_cast<std::uint8_t>(size % kDataPerBlock);
        view_[1] = static_cast<std::uint8_t>(offset);
        view_[2] = 0x82;
        view_[3] = static_cast<std::uint8_t>(offset / kTrackBytes + 1);
        view_[4] = static_cast<std::uint8_t>(offset / kBlockSize);
        const std::array<std::uint8_t, 16> name = cbmName(&entry[kNameAt]);
        std::copy(name.begin(), name.end(), &view_[dir_entry_t::kNameOffset]);
        const std::uint64_t blocks = (size + 2 + kDataPerBlock - 1) / kDataPerBlock;
        putWord(&view_[30], std::min<std::uint64_t>(blocks, 0xffff), 2);
    }
    if (block) *block = makeBlock(slotOffset(*slot) / kTrackBytes + 1, slotOffset(*slot) / kBlockSize % 256);
    if (slotOut) *slotOut = *slot;
    return view_.data();
}

std::optional<DiskT64::tape_file_t> DiskT64::fileOfEntry(const dir_entry_t& entry) const {
    const auto& b = entry.bytes;
    if (b[2] == 0) return std::nullopt;
    // Byte 3 is the track of the data's first block, counted from 1 (it wraps past 255).
    const std::uint64_t offset = ((b[3] + 255u) & 0xffu) * kTrackBytes + b[4] * kBlockSize + b[1];
    return fileAtOffset(offset, &entry);
}

// The load address from the entry's slot, then the data the tape holds.
void DiskT64::appendFileData(const tape_file_t& file, bytes_t& out) const {
    const std::span<const std::uint8_t> slot = slotBytes(file.slot);
    const std::span<const std::uint8_t> bytes = tapeBytes(file.offset, file.size);
    out.insert(out.end(), &slot[kStartAt], &slot[kStartAt] + 2);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// An entry whose data run past the end of the tape gives the bytes there are; the tape's
// damage notes name it.
entry_read_t DiskT64::readEntryData(const dir_entry_t& entry, std::vector<track_sector_t>* /*blocks*/,
                                    const entry_sink_t* /*sink*/) {
    entry_read_t read;
    const std::optional<tape_file_t> file = fileOfEntry(entry);
    if (!file || file->faults & kInsideDirectory) {
        read.outcome = read_outcome::unreadable;
        read.namedByContainer = file.has_value();
        return read;
    }
    appendFileData(*file, read.bytes);
    if (file->cutShort || file->faults != 0) {
        read.outcome = read_outcome::cutShort;
        read.namedByContainer = true;
    }
    return read;
}

std::uint64_t DiskT64::fileSize(std::uint64_t index) {
    const std::optional<std::uint64_t> slot = slotOfIndex(index, includeEmpty());
    const std::optional<tape_file_t> file = slot ? fileOfSlot(*slot) : std::nullopt;
    return file ? file->size + 2 : 0;
}

std::vector<std::string> DiskT64::damageNotes() const {
    std::vector<std::string> notes;
    const tape_index_t& index = tapeIndex();
    if (headerSlots() > index.slots)
        notes.push_back("the header claims " + std::to_string(headerSlots()) + " entries; the tape has room for " +
                        std::to_string(index.slots));
    // Entries are numbered as listings number them (the used slots alone, unless empty ones are
    // listed too), the tape by the name in its header.
    const std::uint8_t* tapeName = diskName();
    const std::string name = tapeName ? petsciiNameToUtf8(cbmName(tapeName), false) : std::string();
    const auto note = [&](auto&& faulty, const char* one, const char* many) {
        std::vector<std::uint64_t> numbers;
        for (const tape_file_t& file : index.files) {
            if (!faulty(file)) continue;
            const auto used = std::lower_bound(index.used.begin(), index.used.end(), file.slot);
            numbers.push_back(includeEmpty() ? file.slot : static_cast<std::uint64_t>(used - index.used.begin()));
        }
        if (numbers.empty()) return;
        std::sort(numbers.begin(), numbers.end());
        const std::string entries = (numbers.size() == 1 ? "entry " : "entries ") + forge::numberRuns(numbers);
        std::string text = numbers.size() == 1 ? one : many;
        text.replace(text.find('@'), 1, entries + " of '" + name + "'");
        notes.push_back(std::move(text));
    };
    note([](const tape_file_t& file) { return file.faults & kInsideDirectory; },
         "@ has its data inside the tape's header and directory",
         "@ have their data inside the tape's header and directory");
    note([](const tape_file_t& file) { return file.cutShort; }, "@ runs past the end of the tape",
         "@ run past the end of the tape");
    note([](const tape_file_t& file) { return file.faults & kSharesData; }, "@ shares its data offset",
         "@ share one data offset");
    note([](const tape_file_t& file) { return file.faults & kDisagrees; },
         "the data offset and end address of @ disagree", "the data offsets and end addresses of @ disagree");
    note([](const tape_file_t& file) { return file.faults & kUnplaced; }, "the data of @ are not placed for sure",
         "the data of @ are not placed for sure");
    return notes;
}

std::uint16_t DiskT64::loadAddress(std::uint64_t index) {
    const std::optional<std::uint64_t> slot = slotOfIndex(index, includeEmpty());
    return slot ? static_cast<std::uint16_t>(wordAt(&slotBytes(*slot)[kStartAt], 2)) : 0;
}

bool DiskT64::resizeTape(std::uint64_t bytes) { return resizeImage(geometryFor(bytes), bytes); }

void DiskT64::shiftTail(std::uint64_t from, std::uint64_t distance, bool up) {
    forgetIndex();
    const std::span<std::uint8_t> all = tapeBytes(0, tapeSize());
    if (from + distance > all.size()) return;
    const std::size_t length = all.size() - from - distance;
    if (up)
        std::memmove(all.data() + from + distance, all.data() + from, length);
    else
        std::memmove(all.data() + from, all.data() + from + distance, length);
}

bool DiskT64::addTapeEntry(std::uint64_t position, std::span<const std::uint8_t, kEntrySize> tapeEntry) {
    UndoGroup group(*this);
    const std::uint64_t slots = slotCount();
    position = std::min(position, slots);
    std::optional<std::uint64_t> free;
    for (std::uint64_t slot = 0; slot < slots; ++slot) {
        if (slotBytes(slot)[kUsedAt] != 0) continue;
        const auto distance = [position](std::uint64_t s) { return s > position ? s - position : position - s; };
        if (!free || distance(slot) < distance(*free)) free = slot;
    }
    std::uint64_t target = position;
    if (free) {
        // The entries between the free slot and the position move one slot toward it.
        const std::uint64_t low = std::min(*free, position);
        const std::uint64_t high = *free < position ? position : *free + 1;
        if (high - low > 1) {
            forgetIndex();
            const std::span<std::uint8_t> run = tapeBytes(slotOffset(low), (high - low) * kEntrySize);
            pushUndoRecord(kUndoTapeBytes, track_sector_t{}, slotOffset(low), run, "Insert Tape Entry");
            if (*free < position) {
                std::memmove(run.data(), run.data() + kEntrySize, run.size() - kEntrySize);
                target = position - 1;
            } else {
                std::memmove(run.data() + kEntrySize, run.data(), run.size() - kEntrySize);
            }
        } else {
            target = *free;
        }
    } else {
        // A new slot: the data behind the table moves 32 bytes on. The count field has 16 bits.
        if (slots >= 0xffff) return false;
        const std::uint64_t at = slotOffset(position);
        if (!resizeTape(tapeSize() + kEntrySize)) return false;
        pushUndoRecord(kUndoAddTapeEntry, track_sector_t{}, at, {}, "Add Tape Entry");
        shiftTail(at, kEntrySize, true);
        if (!setWord(kMaxEntriesAt, slots + 1, 2, "Increment Max Files")) return false;
        // The slots are read directly: until every offset has moved on, the directory seems to
        // end at the data that lay behind the old table.
        for (std::uint64_t slot = 0; slot <= slots; ++slot) {
            const std::span<const std::uint8_t> entry = tapeBytes(slotOffset(slot), kEntrySize);
            if (slot == position || entry[kUsedAt] == 0) continue;
            if (!setWord(slotOffset(slot) + kOffsetAt, wordAt(&entry[kOffsetAt], 4) + kEntrySize, 4,
                         "Increment Offset"))
                return false;
        }
    }
    std::array<std::uint8_t, kEntrySize> stored;
    std::copy(tapeEntry.begin(), tapeEntry.end(), stored.begin());
    if (!free) putWord(&stored[kOffsetAt], wordAt(&stored[kOffsetAt], 4) + kEntrySize, 4);
    // The used count from the entries, whatever the header said before.
    if (!setWord(kUsedEntriesAt, usedSlots() + 1, 2, "Increment Used Files") ||
        !setTapeBytes(slotOffset(target), stored, "Insert File"))
        return false;
    group.commit("Insert File");
    countDirectoryEntries();
    return true;
}

bool DiskT64::importFile(std::span<const std::uint8_t, 16> name, std::int64_t position,
                         std::span<const std::uint8_t> data, std::uint8_t, const container_format_t* row) {
    setLastError(kErrNone);
    if (data.size() < 2 || tapeSize() < kHeaderSize) {
        setLastError(kErrImportFailed);
        return false;
    }
    std::uint32_t type = row ? row->cbmType : std::uint32_t{kTypePrg};
    if (type == 0 || type > kTypeRel) type = kTypePrg;
    std::array<std::uint8_t, kEntrySize> entry{};
    entry[kUsedAt] = 1;
    entry[kFileTypeAt] = static_cast<std::uint8_t>(0x80 | type);
    entry[kStartAt] = data[0];
    entry[kStartAt + 1] = data[1];
    putWord(&entry[kEndAt], wordAt(&entry[kStartAt], 2) + data.size() - 2, 2);
    const std::uint64_t offset = tapeSize();
    putWord(&entry[kOffsetAt], offset, 4);
    for (std::size_t i = 0; i < 16; ++i) entry[kNameAt + i] = name[i] == 0xa0 ? ' ' : name[i];

    UndoGroup group(*this);
    if (!resizeTape(offset + data.size() - 2)) return false;
    const std::span<std::uint8_t> target = tapeBytes(offset, data.size() - 2);
    std::copy(data.begin() + 2, data.end(), target.begin());
    forgetIndex();
    const std::uint64_t slot = position < 0 ? slotCount() : static_cast<std::uint64_t>(position);
    if (!addTapeEntry(slot, entry)) {
        setLastError(kErrImportFailed);
        return false;
    }
    group.commit("Insert File");
    return true;
}

bool DiskT64::insertEntry(std::int64_t index, const dir_entry_t& cbm, std::uint32_t loadAddress) {
    const auto& b = cbm.bytes;
    std::array<std::uint8_t, kEntrySize> entry{};
    entry[kUsedAt] = 1;
    entry[kFileTypeAt] = b[2];
    putWord(&entry[kStartAt], loadAddress, 2);
    std::uint64_t offset = b[3] == 0 ? tapeSize() : (b[3] - 1u) * kTrackBytes + b[4] * kBlockSize + b[1];
    if (b[1] == 0 && b[3] == 0 && b[4] == 0) offset = tapeSize();
    // The size of the data stored there, else the one the block count and byte 0 give.
    const std::uint64_t blocks = cbm.blockCount();
    std::uint64_t size = blocks == 0 ? b[0] : b[0] + (blocks - 1) * kDataPerBlock;
    if (const std::optional<tape_file_t> file = fileAtOffset(offset)) size = file->size;
    putWord(&entry[kEndAt], loadAddress + size, 2);
    putWord(&entry[kOffsetAt], offset, 4);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint8_t c = b[dir_entry_t::kNameOffset + i];
        entry[kNameAt + i] = c == 0xa0 ? ' ' : c;
    }
    const std::uint64_t position = index < 0 ? slotCount() : static_cast<std::uint64_t>(index);
    if (addTapeEntry(position, entry)) return true;
    setLastError(kErrInsertEntry);
    return false;
}

void DiskT64::markDeleted(dir_entry_t&, std::uint64_t index, bool includeEmpty) {
    const std::optional<std::uint64_t> slot = slotOfIndex(index, includeEmpty);
    if (!slot) return;
    UndoGroup group(*this);
    const std::uint8_t free = 0;
    if (!setTapeBytes(slotOffset(*slot) + kUsedAt, std::span(&free, 1), "Make file as Deleted")) return;
    // The count of the entries still used, whatever the header said before.
    if (!setWord(kUsedEntriesAt, usedSlots(), 2, "Decrement Used Files")) return;
    group.commit("Delete File");
    countDirectoryEntries();
}

bool DiskT64::removeTapeFile(std::uint64_t index, bool cutData) {
    const std::optional<std::uint64_t> slot = slotOfIndex(index, includeEmpty());
    if (!slot) return false;
    UndoGroup group(*this);
    if (cutData) {
        const std::optional<tape_file_t> file = fileOfSlot(*slot);
        if (!file) return false;
        // Its padding goes with it.
        const std::uint64_t length = file->stored;
        if (length != 0) {
            // Data the journal cannot hold could not be put back: such a cut is refused.
            if (!pushUndoRecord(kUndoCutData, track_sector_t{}, file->offset, tapeBytes(file->offset, length),
                                "Remove File") &&
                !journal().suspended())
                return false;
            shiftTail(file->offset, length, false);
            const std::span<std::uint8_t> freed = tapeBytes(tapeSize() - length, length);
            std::fill(freed.begin(), freed.end(), libraryOptions().fillByte);
            for (std::uint64_t s = 0; s < slotCount(); ++s) {
                const std::span<const std::uint8_t> entry = slotBytes(s);
                const std::uint64_t offset = wordAt(&entry[kOffsetAt], 4);
                if (s == *slot || entry[kUsedAt] == 0 || offset <= file->offset) continue;
                if (!setWord(slotOffset(s) + kOffsetAt, offset - length, 4, "Decrement Offset")) return false;
            }
            if (!resizeTape(tapeSize() - length)) return false;
        }
    }
    dir_entry_t entry;
    markDeleted(entry, *slot, true);
    group.commit("Remove File");
    countDirectoryEntries();
    return true;
}

void DiskT64::setFileName(dir_entry_t& entry, std::span<const std::uint8_t, 16> name, std::uint64_t index) {
    Disk::setFileName(entry, name, index);
    writeEntryName(index, name);
}

std::uint8_t* DiskT64::writeEntryName(std::uint64_t index, std::span<const std::uint8_t, 16> name) {
    const std::optional<std::uint64_t> slot = slotOfIndex(index, includeEmpty());
    if (!slot) return nullptr;
    const std::span<std::uint8_t> entry = slotBytes(*slot);
    for (std::size_t i = 0; i < 16; ++i) entry[kNameAt + i] = name[i] == 0xa0 ? ' ' : name[i];
    setModified(true);
    return locateEntry(index, includeEmpty());
}

void DiskT64::swapEntries(std::uint64_t a, std::uint64_t b) {
    const std::optional<std::uint64_t> first = slotOfIndex(a, includeEmpty());
    const std::optional<std::uint64_t> second = slotOfIndex(b, includeEmpty());
    if (!first || !second) return;
    std::swap_ranges(slotBytes(*first).begin(), slotBytes(*first).end(), slotBytes(*second).begin());
    forgetIndex();
    setModified(true);
}

bool DiskT64::moveEntries(std::uint64_t first, std::uint64_t last, std::uint64_t to) {
    const std::uint64_t count = countDirectoryEntries();
    if (last < first || last >= count || to > count) return false;
    if (to >= first && to <= last + 1) return true;
    UndoGroup group(*this);
    if (to < first) {
        for (std::uint64_t k = first; k <= last; ++k)
            for (std::uint64_t at = k; at > to + (k - first); --at) moveEntry(true, at);
    } else {
        for (std::uint64_t k = last + 1; k-- > first;)
            for (std::uint64_t at = k; at + 1 < to - (last - k); ++at) moveEntry(false, at);
    }
    group.commit("Move File");
    return true;
}

bool DiskT64::sortDirectory(bool ascending, bool bySize) {
    struct listed_t {
        std::uint64_t slot = 0;
        std::array<std::uint8_t, kEntrySize> bytes{};
        std::uint64_t size = 0;
    };
    std::vector<listed_t> listed;
    for (std::uint64_t i = 0;; ++i) {
        const std::optional<std::uint64_t> slot = slotOfIndex(i, includeEmpty());
        if (!slot) break;
        listed_t entry{*slot, {}, 0};
        const std::span<const std::uint8_t> stored = slotBytes(*slot);
        std::copy(stored.begin(), stored.end(), entry.bytes.begin());
        if (const std::optional<tape_file_t> file = fileOfSlot(*slot)) entry.size = file->size;
        listed.push_back(entry);
    }
    if (listed.empty()) return true;
    std::vector<listed_t> sorted = listed;
    std::stable_sort(sorted.begin(), sorted.end(), [bySize](const listed_t& a, const listed_t& b) {
        if (bySize) return a.size < b.size;
        return std::lexicographical_compare(a.bytes.begin() + kNameAt, a.bytes.end(), b.bytes.begin() + kNameAt,
                                            b.bytes.end());
    });
    if (!ascending) std::reverse(sorted.begin(), sorted.end());
    UndoGroup group(*this);
    for (std::size_t k = 0; k < listed.size(); ++k) {
        if (sorted[k].bytes != listed[k].bytes &&
            !setTapeBytes(slotOffset(listed[k].slot), sorted[k].bytes, "Swap File"))
            return false;
    }
    group.commit("Sort");
    countDirectoryEntries();
    return true;
}

void DiskT64::initBam() {
    const std::uint64_t used = usedSlots();
    const std::span<const std::uint8_t> stored = tapeBytes(kUsedEntriesAt, 2);
    if (!stored.empty() && wordAt(stored.data(), 2) != used) setWord(kUsedEntriesAt, used, 2, "Validate");
    const std::vector<tape_file_t> files = tapeIndex().files;  // the writes below forget the index
    for (const tape_file_t& file : files) {
        const std::span<const std::uint8_t> entry = slotBytes(file.slot);
        const std::uint64_t end = (wordAt(&entry[kStartAt], 2) + file.size) & 0xffff;
        if (wordAt(&entry[kEndAt], 2) != end) setWord(slotOffset(file.slot) + kEndAt, end, 2, "Validate");
    }
}

bool DiskT64::formatImage(std::uint32_t) {
    forgetIndex();
    UndoSuspension quiet(undoJournal());
    setGeometry(geometryFor(kNewTapeSize));
    resize(kNewTapeSize);
    const std::span<std::uint8_t> tape = tapeBytes(0, kNewTapeSize);
    if (tape.empty()) return false;
    std::fill(tape.begin(), tape.end(), std::uint8_t{0});
    std::copy(kSignature.begin(), kSignature.end(), tape.begin());
    tape[0x21] = 1;  // version 0x0100
    std::fill_n(tape.begin() + kTapeNameAt, 24, std::uint8_t{0xa0});
    setModified(false);
    return true;
}

bool DiskT64::writeImage(forge::SaveSink& sink) const { return sink.write(tapeBytes(0, tapeSize())); }

bool DiskT64::undoRecord(const undo_record_t& record) {
    forgetIndex();
    switch (record.kind) {
        case kUndoTapeBytes: {
            const std::span<std::uint8_t> target = tapeBytes(record.value, record.saved.size());
            if (target.size() == record.saved.size())
                std::copy(record.saved.begin(), record.saved.end(), target.begin());
            return true;
        }
        case kUndoAddTapeEntry: shiftTail(record.value, kEntrySize, false); return true;
        case kUndoCutData: {
            // The size is back already (the resize record comes later in the journal).
            shiftTail(record.value, record.saved.size(), true);
            const std::span<std::uint8_t> target = tapeBytes(record.value, record.saved.size());
            if (target.size() == record.saved.size())
                std::copy(record.saved.begin(), record.saved.end(), target.begin());
            return true;
        }
        default: return false;
    }
}

}  // namespace platter
