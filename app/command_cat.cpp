#include "app/command_cat.hpp"

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/options.hpp"
#include "app/program_identity.hpp"
#include "app/entry_read_report.hpp"
#include "app/selection_report.hpp"
#include "forge/paths.hpp"
#include "forge/terminal.hpp"
#include "platter/core/block_batch.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/disk.hpp"
#include "platter/petscii/petscii_screen.hpp"
#include "platter/render/petscii_render_txt.hpp"

#include <utility>
#include <vector>

namespace app {

namespace {

using platter::SelectorKind;

constexpr std::size_t kLinkBytes = 2;
constexpr std::uint8_t kTextColour = 14;
constexpr std::uint8_t kPageBackground = 6;

// One wording for a block without data, with why when a drive said so.
std::string noDataText(const platter::track_sector_t& block, std::string_view cause) {
    std::string text = "block " + chainText({block}) + " holds no data";
    if (!cause.empty()) text += " (" + std::string(cause) + ")";
    return text + "; skipped";
}

}  // namespace

std::span<const std::uint8_t> blockPart(std::span<const std::uint8_t, 256> block, bool wholeBlocks,
                                        bool lastBlockRule) {
    if (wholeBlocks) return block;
    if (lastBlockRule && block[0] == 0) {
        const std::size_t lastOffset = block[1];
        if (lastOffset < kLinkBytes) return {};
        return block.subspan(kLinkBytes, lastOffset - kLinkBytes + 1);
    }
    return block.subspan(kLinkBytes);
}

CommandCat::CommandCat(std::ostream& out) : CommandCat(out, forge::isTerminal(out)) {}

CommandCat::CommandCat(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

int CommandCat::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) {
        std::cerr << "error: missing at least one FILE\n\n";
        getopt.printShortUsage(std::cerr);
        getopt.printTryHelp(std::cerr);
        return 1;
    }
    lowercase_ = g_option_lowercase.isSet();
    loop_.onSelector = [this](const std::string&, const std::string& selector) {
        if (selector.empty()) {
            reporter_.error("missing selector; 'zt cat' works with files/data inside CBM containers", Reporter::kNever);
            return false;
        }
        return parseSelector(selector);
    };
    loop_.onFile = [this](const std::string& path) {
        if (!refused_) loop_.openFile(path);
    };
    loop_.onContainer = [this](platter::Disk& disk, const std::string& name) { processDisk(disk, name); };
    loop_.stopped = [this] { return refused_; };
    bool unmatched = false;
    loop_.afterArgument = [&] {
        for (const std::string& text : selection_.unmatchedNameWarnings()) {
            reporter_.warning(text);
            unmatched = true;
        }
    };
    const int status = loop_.run(arguments);
    // A name that matched nothing, and nothing written: the run did not do what was asked.
    return status != 0 || (unmatched && !wrote_) ? 1 : 0;
}

bool CommandCat::parseSelector(const std::string& selector) {
    const bool parsed = selection_.parseSelection(selector);
    reporter_.relay(selection_);
    return parsed;
}

int CommandCat::processDisk(platter::Disk& disk, const std::string& path) {
    if (!processAndReport(selection_, disk, reporter_).ok) return 1;
    std::as_const(selection_).walkPreorder([&](const platter::file_selector& node) {
        if (!node.nested) writeNode(node, path);
        return !refused_;
    });
    return 0;
}

void CommandCat::writeNode(const platter::file_selector& node, const std::string& path) {
    platter::Disk* disk = selection_.enterFrame(node);
    if (disk == nullptr) return;
    switch (node.kind) {
        case SelectorKind::BlockData: writeBlocks(*disk, node.blocks, node.wholeBlocks, true); break;
        case SelectorKind::TrackData: writeTrack(*disk, node); break;
        case SelectorKind::DirectoryChain:
        case SelectorKind::BlockChain: writeChain(*disk, node); break;
        case SelectorKind::ByFilename:
        case SelectorKind::ByIndex:
        case SelectorKind::ByIndexRange: writeEntries(*disk, node, path); break;
        case SelectorKind::None: break;
    }
}

// Whole tracks have no last block: only the link bytes are dropped.
void CommandCat::writeTrack(platter::Disk& disk, const platter::file_selector& node) {
    std::vector<platter::track_sector_t> blocks;
    for (std::uint64_t sector = 0;; ++sector) {
        const platter::track_sector_t block = platter::makeBlock(node.first, sector);
        if (!disk.isValidBlock(block)) break;
        blocks.push_back(block);
    }
    writeBlocks(disk, blocks, node.wholeBlocks, false);
}

// A batch at a time, which the image keeps none of; a block the batch has no data of says why.
void CommandCat::writeBlocks(platter::Disk& disk, std::span<const platter::track_sector_t> blocks, bool wholeBlocks,
                             bool lastBlockRule) {
    platter::BlockBatch batch(disk, true);
    const auto writeBatch = [&] {
        batch.read();
        for (std::size_t i = 0; i < batch.count() && !refused_; ++i) {
            const std::uint8_t* bytes = batch.bytes(i);
            if (bytes == nullptr)
                writeBlock(disk, batch.block(i), wholeBlocks, lastBlockRule);
            else
                writeBinary(blockPart(std::span<const std::uint8_t, platter::Disk::kBlockSize>(bytes, platter::Disk::kBlockSize),
                                      wholeBlocks, lastBlockRule));
        }
        batch.clear();
    };
    for (std::size_t i = 0; i < blocks.size() && !refused_; ++i) {
        if (!disk.isValidBlock(blocks[i])) {
            writeBatch();
            writeBlock(disk, blocks[i], wholeBlocks, lastBlockRule);
        } else if (!batch.add(blocks[i])) {
            writeBatch();
        }
    }
    writeBatch();
}

void CommandCat::writeChain(platter::Disk& disk, const platter::file_selector& node) {
    std::vector<platter::track_sector_t> blocks;
    const bool complete = disk.readChain(node.first, node.second, 0, nullptr, nullptr, nullptr, &blocks, false, nullptr,
                                         platter::walk_kind::raw);
    for (const platter::track_sector_t& block : blocks) {
        if (refused_) return;
        writeBlock(disk, block, node.wholeBlocks, true);
    }
    if (!complete)
        reporter_.warning("'" + node.text + "': the chain ends at a link that cannot be followed", Reporter::kNever);
}

void CommandCat::writeEntries(platter::Disk& disk, const platter::file_selector& node, const std::string& path) {
    for (const std::uint64_t index : node.indices) {
        if (refused_) return;
        platter::dir_entry_t entry;
        if (!selection_.isIndexSelected(index, node) || !disk.getEntry(index, true, entry) ||
            platter::isEmptyEntry(entry))
            continue;
        // A file that is not whole is written as far as it goes, and is no success. Raw bytes go
        // out as they are read; a SEQ file shown as text is read whole first.
        const bool asText = (entry.typeByte() & 0x0F) == platter::kTypeSeq && terminal_;
        const platter::entry_read_t read =
            asText ? disk.readEntry(entry)
                   : disk.readEntry(entry, [this](std::span<const std::uint8_t> piece) { writeBinary(piece); });
        if (const std::optional<std::string> problem = readProblemText(read, index, disk.directoryStart().track))
            reporter_.error("'" + path + "': " + *problem, Reporter::kNever);
        else if (!read.whole())
            reporter_.fail();
        warnRecordsCountedShort(read, entry);
        if (asText && !read.bytes.empty()) streamFile(read.bytes);
    }
}

void CommandCat::warnRecordsCountedShort(const platter::entry_read_t& read, const platter::dir_entry_t& entry) {
    const std::vector<std::string> warnings = recordsCountedShortWarnings(
        read, entry, lowercase_ ? platter::Charset::lowerUpper : platter::Charset::upperGraphics);
    for (const std::string& warning : warnings) reporter_.warning(warning, Reporter::kNever);
    // Written whole, but not in a form that keeps the whole file.
    if (!warnings.empty()) reporter_.fail();
}

void CommandCat::writeBlock(platter::Disk& disk, const platter::track_sector_t& block, bool wholeBlocks,
                            bool lastBlockRule) {
    const std::span<const std::uint8_t> bytes = std::as_const(disk).blockBytes(block);
    // A block the image lacks (its file ends before it) lost its data: the read fails.
    if (bytes.empty()) {
        reporter_.warning(noDataText(block, {}), Reporter::kNever);
        reporter_.fail();
        return;
    }
    // A sector the drive could not read: its bytes are no data, and the read fails.
    if (!disk.isBlockReadable(block)) {
        reporter_.error(noDataText(block, errorByteText(disk.errorCode(block))), Reporter::kNever);
        return;
    }
    writeBinary(blockPart(bytes.first<platter::Disk::kBlockSize>(), wholeBlocks, lastBlockRule));
}

bool CommandCat::writeBinary(std::span<const std::uint8_t> bytes) {
    if (refused_) return false;
    if (terminal_) {
        reporter_.error("refusing to even attempt streaming binary data to a terminal.", Reporter::kNever);
        refused_ = true;
        return false;
    }
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out_.flush();
    wrote_ = wrote_ || !bytes.empty();
    return true;
}

void CommandCat::streamFile(std::span<const std::uint8_t> bytes) {
    platter::PetsciiScreen screen(platter::PetsciiScreen::kColumns, platter::PetsciiScreen::kWindowRows, kTextColour,
                                  false);
    screen.setData(bytes)
        .setCharset(lowercase_ ? platter::Charset::lowerUpper : platter::Charset::upperGraphics)
        .interpret();
    platter::PetsciiRenderTxt render;
    render.setDocument(true)
        .setAppName(std::string(g_program_identity.name) + " v" + std::string(g_program_identity.version))
        .setBackground(kPageBackground)
        .setSections(false);
    render.begin().renderSection(screen, "").end();
    out_ << render.str() << '\n' << std::flush;
    wrote_ = true;
}

}  // namespace app
