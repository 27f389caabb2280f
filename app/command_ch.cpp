#include "app/command_ch.hpp"

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/options.hpp"
#include "app/selection_report.hpp"
#include "forge/file_node.hpp"
#include "forge/files.hpp"
#include "forge/numbers.hpp"
#include "platter/core/disk.hpp"

#include <filesystem>
#include <iostream>
#include <vector>

namespace app {

namespace {

using platter::SelectorKind;

constexpr std::uint8_t kNoErrorByte = 1;
constexpr std::int64_t kFirstDriveError = 20;
constexpr std::int64_t kLastDriveError = 29;
constexpr std::int64_t kUnusedDriveError = 28;
constexpr std::int64_t kErrorByteBias = 18;

}  // namespace

CommandCh::CommandCh() {
    selection_.refuseKind(SelectorKind::ByFilename)
        .refuseKind(SelectorKind::DirectoryChain)
        .refuseKind(SelectorKind::BlockChain)
        .refuseKind(SelectorKind::ByIndex)
        .refuseKind(SelectorKind::ByIndexRange)
        .setNestingDisabled(true);
}

std::optional<std::uint8_t> CommandCh::errorByteForCode(std::int64_t code) {
    if (code == 0 || code == 1) return kNoErrorByte;
    if (code >= kFirstDriveError && code <= kLastDriveError && code != kUnusedDriveError)
        return static_cast<std::uint8_t>(code - kErrorByteBias);
    return std::nullopt;
}

int CommandCh::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) {
        return reportMissingFile(getopt);
    }
    if (!g_option_error.isSet()) {
        std::cerr << "error: missing any change operation options\n";
        return 1;
    }
    optionName_ = g_option_error.matchedName();
    // The whole value counts: 65556 is no code, though its low 16 bits are 20.
    const std::optional<std::uint8_t> byte = errorByteForCode(forge::parseNumber(g_option_error.value(0)));
    if (!byte) {
        std::cerr << "error: '" << optionName_ << "' invalid error code (use 20-27, 29 or 0 = no error)\n";
        return 1;
    }
    errorByte_ = *byte;

    loop_.onSelector = [this](const std::string& argument, const std::string& selector) {
        const bool parsed = selection_.parseSelection(selector);
        reporter_.relay(selection_);
        if (!parsed) return false;
        if (selector.empty()) {
            reporter_.error(
                "'" + argument + "': missing cbm selector; " + optionName_ + " requires a block or track selector",
                Reporter::kNever);
            return false;
        }
        return true;
    };
    loop_.onContainer = [this](platter::Disk& disk, const std::string& name) { processDisk(disk, name); };
    return loop_.run(arguments);
}

// Nothing reaches the file before every node was applied, so a failure here
// leaves it as it was.
int CommandCh::processDisk(platter::Disk& disk, const std::string& path) {
    if (!processAndReport(selection_, disk, reporter_).ok) return 1;
    // A device, a pipe or a descriptor such as /dev/stdin: a new file beside it would land among
    // the devices.
    if (forge::namesNoFileOfItsOwn(path)) {
        reporter_.error("'" + path + "': the container was read from a device, pipe or standard input; there is no "
                        "file to save it to",
                        Reporter::kNever);
        return 1;
    }
    // A damaged image is never saved: refused before anything changes.
    if (const platter::disk_damage_t damage = disk.damageBeforeSave(); !damage.maySave()) {
        reporter_.error("'" + path + "': " + saveRefusalText(damage) + "; it is left unchanged", Reporter::kNever);
        return 1;
    }
    std::uint64_t counted = 0;
    for (const platter::file_selector& node : selection_.selectors()) {
        if (node.kind != SelectorKind::TrackData && node.kind != SelectorKind::BlockData) continue;
        if (!disk.hasErrorBytes() && !addErrorBytes(disk, path)) return 1;
        ++counted;
        if (node.kind == SelectorKind::TrackData) {
            for (std::uint64_t sector = 0;; ++sector) {
                const platter::track_sector_t block = platter::makeBlock(node.first, sector);
                if (!disk.isValidBlock(block)) break;
                if (!setBlock(disk, block, path)) return 1;
            }
        } else {
            for (const platter::track_sector_t& block : node.blocks) {
                if (!setBlock(disk, block, path)) return 1;
            }
        }
    }
    if (counted == 0) {
        reporter_.error("'" + optionName_ + "': this operation can only be applied to block and track selectors",
                        Reporter::kNever);
        return 1;
    }
    if (!disk.isModified()) {
        reporter_.warning("container was unmodified after making requested changes", Reporter::kNever);
        return 0;
    }
    return save(disk, path);
}

// Tried once: a format that cannot carry error bytes is reported, never retried.
bool CommandCh::addErrorBytes(platter::Disk& disk, const std::string& path) {
    disk.toggleErrorBytes();
    if (!disk.hasErrorBytes() || disk.errorBytes().empty()) {
        reporter_.error("'" + path + "': the container format does not support error bytes", Reporter::kNever);
        return false;
    }
    std::cerr << "extend errors.\n";
    return true;
}

bool CommandCh::setBlock(platter::Disk& disk, const platter::track_sector_t& block, const std::string& path) {
    if (disk.errorBytePointer(block) == nullptr) {
        reporter_.error("'" + path + "': block " + chainText({block}) + " has no error byte in this container",
                        Reporter::kNever);
        return false;
    }
    disk.setErrorCode(block, errorByte_);
    return true;
}

// The image is saved where its opener placed it (a zipcode set as NAME.d64 beside its parts),
// under the extension of its format; a different file of that name is never overwritten.
int CommandCh::save(platter::Disk& disk, const std::string& path) {
    disk.setPathForFormat(std::filesystem::path(disk.imagePath()));
    const std::filesystem::path& target = disk.imagePath();
    const bool beside = target != std::filesystem::path(path);
    if (beside && forge::exists(target.string())) {
        reporter_.error("'" + path + "': not overwriting '" + target.string() + "' with the modified copy",
                        Reporter::kNever);
        return 1;
    }
    if (const std::optional<forge::save_failure_t> failure = disk.save()) {
        reporter_.error(failure->text, Reporter::kNever);
        reporter_.error("'" + target.string() + "': the modified container could not be saved", Reporter::kNever);
        return 1;
    }
    // Said once it is true: a failed save left the file as it was.
    if (beside) {
        reporter_.notice("writing modified copy of container to '" + target.string() + "'", Reporter::kNever);
    } else {
        reporter_.notice("overwriting container with modified copy", Reporter::kNever);
    }
    return 0;
}

}  // namespace app
