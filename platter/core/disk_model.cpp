#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <system_error>

#include "forge/save_file.hpp"

#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/error_byte.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/listing_documents.hpp"

namespace platter {

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

Disk::Disk(format_id id) : formatId_(id) {}

Disk::~Disk() = default;

bool Disk::open(const path& file, bool existing, bool format, std::uint32_t formatArg) {
    forgetWalks();
    sourcePath_ = file;
    if (!provider_) adoptDataProvider(std::make_unique<DataProvider>());
    if (provider_->size() == 0) {
        UndoSuspension quiet(journal_);
        resize(defaultImageSize_);
    }
    if (!existing) {
        std::string ext;
        if (const container_format_t* row = formatById(formatId())) ext = std::string(row->extension);
        if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
        imagePath_ = "New Disk (" + ext + ")";
        if (format && !formatImage(formatArg)) return false;
    } else if (!loadImage(file)) {
        return false;
    }
    return finishOpen();
}

bool Disk::openBytes(const path& file, bytes_t bytes) {
    sourcePath_ = file;
    imagePath_ = file;
    if (!provider_) {
        adoptDataProvider(std::make_unique<DataProvider>(std::move(bytes), file.string()));
    } else if (!provider_->assign(bytes)) {
        return false;
    }
    return finishOpen();
}

bool Disk::openProvider(const path& file, std::unique_ptr<DataProvider> provider) {
    sourcePath_ = file;
    imagePath_ = file;
    adoptDataProvider(std::move(provider));
    return finishOpen();
}

bool Disk::finishOpen() {
    forgetWalks();
    unreadable_ = false;
    parseImage();
    if (unreadable_) return false;
    setModified(false);
    blockPointer(headerBlock_);  // lets a caching provider fetch the header block
    countDirectoryEntries();
    return true;
}

bool Disk::loadImage(const path& file) {
    if (!provider_) return false;
    imagePath_ = file;
    return provider_->load(file);
}

std::optional<forge::save_failure_t> Disk::saveAs(const path& target, const listing_request_t& request) {
    lastError_ = kErrNone;
    path out = target;
    const container_format_t* row = formatByExtension(target.extension().string());
    if (!row) {
        row = formatById(formatId());
        if (row) out.replace_extension(std::string(row->extension));
    }
    if (row && isListingDocument(row->id)) {
        if (saveListing(*this, row->id, {target, request.stream}, request)) return std::nullopt;
        return forge::save_failure_t{lastError_ != kErrOpenFile,
                                     "the listing could not be written to '" + target.string() + "'"};
    }
    if (out.empty()) {
        lastError_ = kErrOpenFile;
        return forge::save_failure_t{false, "there is no file name to save the image to"};
    }
    if (std::optional<forge::save_failure_t> refused = refusedSave()) return refused;
    std::optional<forge::save_failure_t> failure =
        saveThrough(out, [this](forge::SaveSink& sink) { return writeImage(sink); });
    if (!failure) setModified(false);
    return failure;
}

std::optional<forge::save_failure_t> Disk::refusedSave() {
    if (damageBeforeSave().maySave()) return std::nullopt;
    lastError_ = kErrImageWrite;
    return forge::save_failure_t{false, "the image is damaged; it is not saved"};
}

std::optional<forge::save_failure_t> Disk::saveThrough(const path& out,
                                                       const std::function<bool(forge::SaveSink&)>& writer) {
    std::optional<forge::save_failure_t> failure = forge::saveFile(out, writer);
    if (failure) lastError_ = failure->created ? kErrImageWrite : kErrOpenFile;
    return failure;
}

bool Disk::writeImage(forge::SaveSink& sink) const {
    const_cast<Disk*>(this)->completeImage();
    // Every block is written: one read of what is still in the file, not one per block.
    if (provider_) provider_->rangeAt(0, provider_->size());
    for (std::uint64_t track = 1; track <= geometry_.trackCount; ++track) {
        for (std::uint64_t sector = 0; sector < geometry_.sectorsPerTrack; ++sector) {
            const track_sector_t at = makeBlock(track, sector);
            const std::span<const std::uint8_t> block = blockBytes(at);
            // A block the file no longer holds is not written as a hole.
            if (block.empty() && isValidBlock(at)) return false;
            if (!block.empty() && !sink.write(block)) return false;
        }
    }
    if (!hasErrorBytes_ || errorBytes_.empty()) return true;
    bytes_t table = errorBytes_;
    if (errorCodeMode_) {
        for (auto& b : table) b = b == 1 ? 0 : static_cast<std::uint8_t>(b + 18);
    }
    return sink.write(table);
}

disk_damage_t Disk::damage() const {
    disk_damage_t report;
    report.sizeUnknown = sizeUnknown_;
    report.missesBlocks = missesBlocks();
    report.incomplete = incomplete_;
    report.sourceChanged = provider_ && provider_->readFailed();
    report.areaFaults = hasAreaFaults();
    report.directoryKind = hasPartitionTable() ? directory_kind::partitionTable : directory_kind::directory;
    report.directory = directoryStop();
    report.directoryAtRecordedError =
        report.directory.end == chain_end::unreadable && recordsFailedRead(report.directory.to);
    report.unreadHeaderBlocks = unreadHeaderBlocks();
    report.notes = damageNotes();
    report.notes.insert(report.notes.end(), openerNotes_.begin(), openerNotes_.end());
    return report;
}

// One look at each error byte the image has: those of its header and BAM that mark a read
// the drive could not make.
std::vector<recorded_error_t> Disk::unreadHeaderBlocks() const {
    std::vector<recorded_error_t> found;
    if (!hasErrorBytes_) return found;
    std::size_t index = 0;
    for (std::uint64_t track = 1; track <= geometry_.trackCount && index < errorBytes_.size(); ++track) {
        const std::uint64_t sectors = maxSector(track) + 1;
        for (std::uint64_t sector = 0; sector < sectors && index < errorBytes_.size(); ++sector, ++index) {
            if (!errorByteMarksUnread(errorBytes_[index])) continue;
            const track_sector_t block = makeBlock(track, sector);
            const bool header = block == headerBlock_;
            if ((header || isBamBlock(block)) && recordsFailedRead(block))
                found.push_back({block, errorBytes_[index], header});
        }
    }
    return found;
}

disk_damage_t Disk::damageBeforeSave() const {
    directoryWalk_.valid = false;
    return damage();
}

// Blocks lie in the file in geometry order, so the file holds them all when it holds the last.
bool Disk::missesBlocks() const {
    if (!provider_) return true;
    const track_sector_t last = makeBlock(geometry_.trackCount, maxSector(geometry_.trackCount));
    return isValidBlock(last) && provider_->available(blockOffset(last)) < kBlockSize;
}

bool Disk::resize(std::uint64_t bytes) {
    if (!provider_) return false;
    forgetWalks();
    completeImage();
    provider_->setSize(bytes);
    return true;
}

bool Disk::sizeRange(std::uint64_t&, std::uint64_t&, std::uint64_t&) { return false; }

void Disk::setDataProvider(DataProvider* provider) {
    forgetWalks();
    ownedProvider_.reset();
    provider_ = provider;
}

std::unique_ptr<DataProvider> Disk::replaceDataProvider(std::unique_ptr<DataProvider> provider) {
    std::unique_ptr<DataProvider> previous = std::move(ownedProvider_);
    adoptDataProvider(std::move(provider));
    return previous;
}

void Disk::adoptDataProvider(std::unique_ptr<DataProvider> provider) {
    forgetWalks();
    ownedProvider_ = std::move(provider);
    provider_ = ownedProvider_.get();
}

void Disk::setPathForFormat(const path& file) {
    imagePath_ = file;
    const container_format_t* row = formatById(formatId());
    if (!row) return;
    const std::string wanted(row->extension);
    // Keep "GAME.D64" as it is rather than saving a new "GAME.d64" beside it.
    if (lowerCase(file.extension().string()) == lowerCase(wanted)) return;
    imagePath_.replace_extension(wanted);
}

}  // namespace platter
