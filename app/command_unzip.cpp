#include "app/command_unzip.hpp"

#include <algorithm>
#include <array>
#include <iostream>
#include <optional>
#include <span>

#include "app/argument_texts.hpp"
#include "app/image_target.hpp"
#include "app/options.hpp"
#include "forge/files.hpp"
#include "forge/host_file.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"
#include "forge/save_file.hpp"
#include "forge/strings.hpp"
#include "platter/archive/zip6.hpp"
#include "platter/core/zipcode_part.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/open/open_zipcode.hpp"

namespace app {

namespace {

namespace type_id = platter::fileid::type_id;

constexpr std::size_t kZip4Parts = 5;
constexpr std::size_t kZip6Parts = 6;
// D64 sizes without error bytes: 35, 40 and 42 tracks.
constexpr std::array<std::size_t, 3> kPlainD64Sizes = {174848, 196608, 205312};

std::string inQuotes(const std::string& path) { return "\"" + path + "\""; }

// Which part of a set the bytes are, 0 for none: by their content in a four/five-part set,
// where each part names its tracks; by its name in a six-part set.
unsigned partNumber(const std::vector<std::uint8_t>& bytes, bool sixParts, unsigned position) {
    if (sixParts) return platter::fileid::identifyAs(bytes, type_id::zip6).front().type == type_id::zip6 ? position : 0;
    const std::uint32_t type = platter::fileid::identifyAs(bytes, type_id::zip4, true).front().type;
    return type >= type_id::zip4_part1 && type <= type_id::zip4_part5 ? type - type_id::zip4_part1 + 1 : 0;
}

// The D64 that the tracks of a G64 decode to; sectors that could not be read hold the
// format pattern, and their codes follow as error bytes.
std::vector<std::uint8_t> decodeG64(const std::vector<std::uint8_t>& g64, std::size_t& unreadable) {
    platter::GcrDecoder decoder;
    decoder.setFastFirst(true);
    decoder.loadG64(g64);
    std::vector<std::uint8_t> d64 = decoder.takeImage();
    unreadable = 0;
    if (std::find(kPlainD64Sizes.begin(), kPlainD64Sizes.end(), d64.size()) == kPlainD64Sizes.end()) {
        const std::size_t blocks = d64.size() / (platter::Disk::kBlockSize + 1);
        unreadable = static_cast<std::size_t>(std::count_if(d64.end() - static_cast<std::ptrdiff_t>(blocks), d64.end(),
                                                            [](std::uint8_t code) { return code != 1; }));
    }
    return d64;
}

}  // namespace

std::size_t CommandUnzip::findParts(const std::string& directory, const std::string& setName, std::size_t parts,
                                    std::string_view partTemplate, std::vector<std::string>& found) {
    std::size_t count = 0;
    for (std::size_t k = 1; k <= parts; ++k) {
        std::string name(partTemplate);
        std::replace(name.begin(), name.end(), '0', static_cast<char>('0' + k));
        const std::string path = directory + name + setName;
        if (!forge::exists(path)) continue;
        found.push_back(path);
        ++count;
    }
    return count;
}

int CommandUnzip::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.size() < 2) return reportUsageError(getopt, "missing at least one of ZIPNAME or FILE.");
    if (arguments.size() > 2) return reportUsageError(getopt, "extra file arguments found after ZIPNAME or FILE.");
    if (reportNamelessOutput(getopt, arguments[1], "FILE")) return 1;
    if (!locateSet(arguments[0])) return 1;
    const bool g64 = g_option_unz.isSet() && sixParts_;
    const image_target_t target = imageTarget(arguments[1], g64 ? "g64" : "d64");
    // An image written to standard output is all that goes there.
    const bool showProgress = forge::g_quiet_level == 0 && !target.toStandardOutput;
    if (!readParts(showProgress)) return 1;

    if (g_option_unz.isSet() && !sixParts_)
        reporter_.warning("-z/--unz ignored when unzipping a zip4", Reporter::kQuietWarnings);
    warnAboutExtension(arguments[1], g64);
    if (isPart(target.path)) return 1;
    std::vector<std::uint8_t> image;
    if (sixParts_) {
        if (!unpackZip6(image, g64, target.path)) return 1;
    } else {
        image = unpackZip4();
    }
    if (!write(target.path, image)) return 1;
    if (showProgress) {
        // The six-part path names what it wrote on the error stream.
        std::ostream& out = sixParts_ ? std::cerr : std::cout;
        out << "wrote as " << (g64 ? "g64" : "d64") << " format to '" << target.path << "'\n";
    }
    return reporter_.status();
}

bool CommandUnzip::locateSet(const std::string& zipName) {
    const std::string directory = forge::dirName(zipName);
    const std::string name = forge::fileName(zipName);
    const bool namesPart = name.size() >= 4 && name[0] >= '1' && name[0] <= '6' && name[1] == '!';
    if (namesPart && forge::exists(zipName)) {
        if (name[2] == '!') return locateSixParts(directory, name.substr(3), zipName);
        return locateZip4Parts(directory, name.substr(2), zipName);
    }
    const std::string sixPartFirst = directory + "1!!" + name;
    if (forge::exists(sixPartFirst)) return locateSixParts(directory, name, sixPartFirst);
    return locateZip4Parts(directory, name, zipName);
}

bool CommandUnzip::locateSixParts(const std::string& directory, const std::string& setName, const std::string& named) {
    sixParts_ = true;
    if (findParts(directory, setName, kZip6Parts, "0!!", paths_) == kZip6Parts) return true;
    reporter_.error("found '" + named + "'; can't find one or more other file parts", Reporter::kQuietErrors);
    return false;
}

bool CommandUnzip::locateZip4Parts(const std::string& directory, const std::string& setName,
                                   const std::string& zipName) {
    std::size_t found = findParts(directory, setName, kZip4Parts, "0!", paths_);
    // A part too short to hold a block is missing, as if it had been deleted.
    found -= std::erase_if(paths_, [](const std::string& path) {
        const forge::host_file_status_t status = forge::statHostFile(path);
        return status.regular && status.size < platter::kSmallestZipcodePart;
    });
    if (found == 0) {
        reporter_.error(
            "can't find '" + zipName + "'; can't find file parts like " + inQuotes(directory + "1!" + setName),
            Reporter::kQuietErrors);
        return false;
    }
    // Parts 1-4 are the 35 tracks every set has; part 5 only a 40-track one.
    const auto firstFour = std::count_if(paths_.begin(), paths_.end(),
                                         [&](const std::string& path) { return path[directory.size()] <= '4'; });
    if (firstFour < 4) {
        reporter_.warning("could only find " + std::to_string(found) + " file part" + forge::plural("s", found) +
                              "; resulting .d64 will be missing data",
                          Reporter::kQuietWarnings);
        reporter_.fail();
    }
    return true;
}

bool CommandUnzip::readParts(bool showReading) {
    for (const std::string& path : paths_) {
        if (showReading) std::cout << (parts_.empty() ? "reading " : "        ") << path << '\n';
        part_t part{path, {}, 0};
        forge::file_t read;
        if (forge::readFile(path, read)) {
            part.bytes = std::move(read.data);
            part.number = partNumber(part.bytes, sixParts_, static_cast<unsigned>(parts_.size() + 1));
        }
        if (part.number == 0) {
            reportNoHeader(path);
            return false;
        }
        parts_.push_back(std::move(part));
    }
    return true;
}

void CommandUnzip::reportNoHeader(const std::string& path) {
    std::cout << std::flush;
    reporter_.error(
        "after reading " + inQuotes(path) + " a standard " + (sixParts_ ? "zip6" : "zip4") + " header was not found",
        Reporter::kQuietErrors);
}

bool CommandUnzip::isPart(const std::string& target) {
    const auto part = std::find_if(parts_.begin(), parts_.end(),
                                   [&](const part_t& p) { return forge::isSameFile(p.path, target); });
    if (part == parts_.end()) return false;
    reporter_.error("cannot write to " + inQuotes(target) + "; it is a part of the set being unzipped",
                    Reporter::kQuietErrors);
    return true;
}

void CommandUnzip::warnAboutExtension(const std::string& file, bool g64) {
    const std::string extension = forge::toLower(forge::fileExtension(file));
    if (extension.empty() || extension == (g64 ? "g64" : "d64")) return;
    reporter_.warning(std::string("writing as a ") + (g64 ? "g64 (-z/--unz)" : "d64") + " but to a file with a ." +
                          extension + " extension",
                      Reporter::kQuietWarnings);
}

// Part 5 goes first: it makes the image 40 tracks before the others fill tracks 1-35.
// Tracks of a missing part stay empty, and so do the blocks a part cut short does not reach.
std::vector<std::uint8_t> CommandUnzip::unpackZip4() {
    std::vector<const part_t*> order;
    for (const part_t& part : parts_) order.push_back(&part);
    std::stable_sort(order.begin(), order.end(),
                     [](const part_t* a, const part_t* b) { return a->number > b->number; });
    platter::Disk41 disk;
    disk.open({}, false);
    for (const part_t* part : order) {
        const std::optional<platter::zip4_part_gaps_t> gaps = disk.unpackZip4Part(part->bytes, part->number);
        if (!gaps || gaps->emptyBlocks == 0) continue;
        reporter_.warning(platter::zip4GapsWarning(part->path, *gaps), Reporter::kQuietWarnings);
        reporter_.fail();
    }
    const std::uint8_t* data = disk.providerData(0);
    return std::vector<std::uint8_t>(data, data + disk.providerSize());
}

bool CommandUnzip::unpackZip6(std::vector<std::uint8_t>& image, bool g64, const std::string& target) {
    std::array<std::vector<std::uint8_t>, kZip6Parts> files;
    for (std::size_t k = 0; k < kZip6Parts; ++k) files[k] = std::move(parts_[k].bytes);
    std::vector<std::uint8_t> stream;
    if (const std::size_t bad = platter::zip6ToG64(files, stream)) {
        reportNoHeader(parts_[bad - 1].path);
        return false;
    }
    if (g64) {
        image = std::move(stream);
        return true;
    }
    std::size_t unreadable = 0;
    image = decodeG64(stream, unreadable);
    if (unreadable != 0) {
        reporter_.warning(std::to_string(unreadable) + " sector" + forge::plural("s", unreadable) +
                              " could not be decoded; '" + target + "' holds the error bytes that say why",
                          Reporter::kQuietWarnings);
        reporter_.fail();
    }
    return true;
}

bool CommandUnzip::write(const std::string& target, const std::vector<std::uint8_t>& image) {
    if (const auto failure = forge::saveFile(target, image)) {
        reporter_.error(failure->text, Reporter::kQuietErrors);
        reporter_.error("write failure", Reporter::kQuietErrors);
        return false;
    }
    return true;
}

}  // namespace app
