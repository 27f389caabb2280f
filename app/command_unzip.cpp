#include "app/command_unzip.hpp"

#include <algorithm>
#include <array>
#include <iostream>

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/image_target.hpp"
#include "app/options.hpp"
#include "forge/files.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"
#include "forge/save_file.hpp"
#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/open/open_zipcode.hpp"
#include "platter/open/zip6_set_image.hpp"

namespace app {

namespace {

namespace type_id = platter::fileid::type_id;

// D64 sizes without error bytes: 35, 40 and 42 tracks.
constexpr std::array<std::size_t, 3> kPlainD64Sizes = {174848, 196608, 205312};

std::string inQuotes(const std::string& path) { return "\"" + path + "\""; }

// Whether the bytes are part `number` of a set of the kind: a six-part part as
// identification tells it, another by the load address the opener decodes it by.
bool holdsPartOfKind(const std::vector<std::uint8_t>& bytes, unsigned number, bool sixParts) {
    if (sixParts) return platter::fileid::identifyAs(bytes, type_id::zip6).front().type == type_id::zip6;
    return platter::loadsAsZip4Part(bytes, number);
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

int CommandUnzip::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.size() < 2) return reportUsageError(getopt, "missing at least one of ZIPNAME or FILE.");
    if (arguments.size() > 2) return reportUsageError(getopt, "extra file arguments found after ZIPNAME or FILE.");
    if (reportNamelessOutput(getopt, arguments[1], "FILE")) return 1;
    if (!locateSet(arguments[0])) return 1;
    const bool sixParts = set_.sixParts;
    const bool g64 = g_option_unz.isSet() && sixParts;
    const image_target_t target = imageTarget(arguments[1], g64 ? "g64" : "d64");
    // An image written to standard output is all that goes there.
    const bool showProgress = forge::g_quiet_level == 0 && !target.toStandardOutput;
    if (!readParts(showProgress)) return 1;

    if (g_option_unz.isSet() && !sixParts)
        reporter_.warning("-z/--unz ignored when unzipping a zip4", Reporter::kQuietWarnings);
    warnAboutExtension(arguments[1], g64);
    if (isPart(target.path)) return 1;
    std::vector<std::uint8_t> image;
    if (!(sixParts ? unpackZip6(image, g64, target.path) : unpackZip4(image))) return 1;
    if (!write(target.path, image)) return 1;
    if (showProgress) {
        // The six-part path names what it wrote on the error stream.
        std::ostream& out = sixParts ? std::cerr : std::cout;
        out << "wrote as " << (g64 ? "g64" : "d64") << " format to '" << target.path << "'\n";
    }
    return reporter_.status();
}

bool CommandUnzip::locateSet(const std::string& zipName) {
    set_ = platter::findZipcodeSet(zipName);
    name_ = forge::fileName(zipName);
    const auto found = std::count_if(set_.parts.begin(), set_.parts.end(),
                                     [](const platter::zipcode_part_t& part) { return !part.missing(); });
    if (found == 0) {
        const std::string firstPart = set_.directory + (set_.sixParts ? "1!!" : "1!") + set_.name;
        reporter_.error("can't find '" + zipName + "'; can't find file parts like " + inQuotes(firstPart),
                        Reporter::kQuietErrors);
        return false;
    }
    if (set_.sixParts) return true;
    // Parts 1-4 are the 35 tracks every set has; part 5 only a 40-track one.
    const auto firstFour = std::count_if(set_.parts.begin(), set_.parts.begin() + 4,
                                         [](const platter::zipcode_part_t& part) { return !part.missing(); });
    if (firstFour < 4) {
        const auto count = static_cast<std::size_t>(found);
        reporter_.warning("could only find " + std::to_string(count) + " file part" + forge::plural("s", count) +
                              "; resulting .d64 will be missing data",
                          Reporter::kQuietWarnings);
        reporter_.fail();
    }
    return true;
}

bool CommandUnzip::readParts(bool showReading) {
    platter::readZipcodeParts(set_);
    bool first = true;
    for (unsigned k = 1; k <= set_.parts.size(); ++k) {
        const platter::zipcode_part_t& part = set_.parts[k - 1];
        if (part.missing()) continue;
        if (showReading) std::cout << (first ? "reading " : "        ") << part.path.string() << '\n';
        first = false;
        if (part.state != platter::zipcode_part_state::read || !holdsPartOfKind(part.bytes, k, set_.sixParts)) {
            reportNoHeader(part.path.string());
            return false;
        }
    }
    return true;
}

void CommandUnzip::reportNoHeader(const std::string& path) {
    std::cout << std::flush;
    reporter_.error("after reading " + inQuotes(path) + " a standard " + (set_.sixParts ? "zip6" : "zip4") +
                        " header was not found",
                    Reporter::kQuietErrors);
}

bool CommandUnzip::isPart(const std::string& target) {
    const auto part = std::find_if(set_.parts.begin(), set_.parts.end(), [&](const platter::zipcode_part_t& p) {
        return p.state != platter::zipcode_part_state::absent && forge::isSameFile(p.path.string(), target);
    });
    if (part == set_.parts.end()) return false;
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

void CommandUnzip::reportGaps(std::vector<std::string> notes) {
    if (notes.empty()) return;
    platter::disk_damage_t gaps;
    gaps.incomplete = true;
    gaps.notes = std::move(notes);
    reporter_.report(damageMessages(gaps, name_), Reporter::kQuietWarnings);
    reporter_.fail();
}

bool CommandUnzip::unpackZip4(std::vector<std::uint8_t>& image) {
    platter::open_result_t opened = platter::decodeZipcodeSet(set_);
    if (!opened) {
        reporter_.error("'" + name_ + "': " + opened.failure, Reporter::kQuietErrors);
        return false;
    }
    platter::Disk& disk = *opened.disk;
    // What the decoding left undone; the disk's own damage (a directory that loops) is the
    // set's content, written as it is.
    reportGaps(disk.damage().notes);
    const std::uint8_t* data = disk.providerData(0);
    image.assign(data, data + disk.providerSize());
    return true;
}

bool CommandUnzip::unpackZip6(std::vector<std::uint8_t>& image, bool g64, const std::string& target) {
    platter::zip6_set_image_t unpacked = platter::unpackZip6Set(set_);
    if (unpacked.misfit != 0) {
        reportNoHeader(set_.parts[unpacked.misfit - 1].path.string());
        return false;
    }
    reportGaps(std::move(unpacked.notes));
    // Both forms are decoded: what the D64 lacks, the G64 cannot give either.
    std::size_t unreadable = 0;
    image = decodeG64(unpacked.g64, unreadable);
    if (g64) image = std::move(unpacked.g64);
    if (unreadable != 0) {
        const std::string holds =
            g64 ? "' holds their tracks as the set stores them" : "' holds the error bytes that say why";
        reporter_.warning(std::to_string(unreadable) + " sector" + forge::plural("s", unreadable) +
                              " could not be decoded; '" + target + holds,
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
