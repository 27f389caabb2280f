#include "app/command_unar.hpp"

#include <iostream>

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/image_target.hpp"
#include "forge/files.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"
#include "forge/save_file.hpp"
#include "forge/strings.hpp"
#include "forge/terminal.hpp"
#include "platter/core/directory_entry_count.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/archive_builder.hpp"
#include "platter/open/identified_format.hpp"

namespace app {

namespace {

namespace type_id = platter::fileid::type_id;

// The kinds unar expands: geoConvert to Arkive, SPYne to Arc (sda), every Lynx; not the
// self-extracting Arkive.
bool isExpandable(std::uint32_t type) {
    if (type == type_id::lynx || platter::fileid::isDescendantOf(type, type_id::lynx)) return true;
    return type >= type_id::geo_convert && type <= type_id::arc_sda && type != type_id::arkive_sfx;
}

// "d64", "d81" or "dnp": the extension of the image kind.
std::string kindWord(platter::format_id id) { return forge::toLower(platter::formatName(id)); }

}  // namespace

int CommandUnar::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    // Counted first: two arguments name the archive whatever standard input is.
    if (arguments.size() > 2) return reportUsageError(getopt, "extra file arguments found after ARCHIVE or DISK.");
    if (arguments.size() == 2) {
        if (reportNamelessOutput(getopt, arguments[1], "DISK")) return 1;
        const std::string& archive = arguments[0];
        forge::file_t file;
        if (!forge::isRegularFile(archive) || !forge::readFile(archive, file)) {
            reporter_.error("could not find \"" + archive + "\" - does it exist?", Reporter::kQuietErrors);
            return 1;
        }
        std::string disk = arguments[1];
        return expand(file.data, archive, disk);
    }
    if (forge::isTerminal(std::cin)) return reportUsageError(getopt, "missing at least one of ARCHIVE or DISK.");
    if (arguments.empty()) return reportUsageError(getopt, "missing DISK");
    if (reportNamelessOutput(getopt, arguments[0], "DISK")) return 1;
    forge::file_t file;
    if (std::optional<forge::ErrorCli> error = forge::readStdin(file)) {
        forge::logError(error->printer);
        return 1;
    }
    std::string disk = arguments[0];
    return expand(file.data, {}, disk);
}

int CommandUnar::expand(const std::vector<std::uint8_t>& bytes, const std::string& archive, std::string& disk) {
    const std::string name = archive.empty() ? std::string(forge::kStdinName) : forge::fileName(archive);
    const std::string quoted = "'" + name + "'";
    const std::uint32_t type = platter::firstIdentifiedType(bytes);
    if (!isExpandable(type)) {
        reporter_.error(quoted + " wasn't identified as a supported archive format.", Reporter::kQuietErrors);
        return 1;
    }
    const std::string extension = forge::toLower(forge::fileExtension(disk));
    std::vector<std::uint8_t> title;  // an LHA title is no file of the image
    platter::archive_build_t build;
    build.startWithD81 = extension == "d81";
    build.title = &title;
    platter::open_result_t expanded = platter::archiveToDiskByType(bytes, type, name, build);
    if (!expanded.disk) {
        reporter_.error(quoted + ": could not expand the archive.", Reporter::kQuietErrors);
        return 1;
    }
    platter::Disk& image = *expanded.disk;
    const std::string kind = kindWord(image.formatId());
    const image_target_t target = imageTarget(disk, kind);
    disk = target.path;
    // The save renames over a path or writes through a link to the archive: it would be gone.
    if (!archive.empty() && forge::isSameFile(archive, disk)) {
        reporter_.error("cannot write to \"" + disk + "\"; it is the archive \"" + archive + "\" being expanded",
                        Reporter::kQuietErrors);
        return 1;
    }
    if ((extension == "d64" || extension == "d81") && extension != kind) {
        const std::string exceeded = image.formatId() == platter::format_id::dnp ? "d81" : "d64";
        reporter_.warning("the unarchived files exceeded " + exceeded +
                          " capacity; the disk will be\n         written as a ." + kind +
                          " but was still named with a ." + extension + " extension.");
    }
    const std::span<const std::uint8_t> content(image.providerData(0), image.providerSize());
    if (const std::optional<forge::save_failure_t> failure = forge::saveFile(disk, content)) {
        reporter_.error(failure->text, Reporter::kQuietErrors);
        return 1;
    }
    const std::uint64_t files = platter::countDirectoryEntries(image);
    if (forge::g_quiet_level == 0 && !target.toStandardOutput) {
        std::cout << "wrote " << files << " file" << forge::plural("s", files) << " to \"" << disk << "\" as " << kind
                  << " format.\n";
    }
    // Written, but without every file of the archive: said, and the run fails.
    const platter::disk_damage_t damage = image.damage();
    reporter_.report(damageMessages(damage, name), Reporter::kQuietErrors);
    return damage.whole() ? reporter_.status() : 1;
}

}  // namespace app
