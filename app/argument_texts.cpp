#include "app/argument_texts.hpp"

#include "app/options.hpp"
#include "forge/files.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace app {

namespace {

// Type categories of the identification table.
constexpr std::int32_t kCategoryContainer = 0;
constexpr std::int32_t kCategoryPicture = 3;

std::string labelPath(const std::string& path) {
    if (!g_option_relative.isSet() || path == forge::kStdinName) return path;
    const std::filesystem::path given(path);
    if (!given.is_absolute()) return path;
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    if (error) return path;
    const std::filesystem::path relative = given.lexically_relative(here);
    return relative.empty() ? path : relative.string();
}

}  // namespace

void printPathHeader(std::ostream& out, const std::string& path, std::string_view suffix) {
    if (g_option_xpath.isSet() || g_option_delim.isSet()) return;
    out << '\n' << labelPath(path) << suffix << '\n';
}

std::string chainText(const std::vector<platter::track_sector_t>& blocks) {
    std::string text;
    std::uint64_t track = 0;
    for (const platter::track_sector_t& block : blocks) {
        if (!text.empty()) text += ',';
        if (text.empty() || block.track != track) text += std::to_string(block.track) + '.';
        text += std::to_string(block.sector);
        track = block.track;
    }
    return text;
}

std::string partitionFaultText(std::uint64_t index, platter::block_range_fault fault, std::uint64_t directoryTrack) {
    std::string text = "the partition of entry [" + std::to_string(index) + "] ";
    switch (fault) {
        case platter::block_range_fault::outsideImage: return text + "starts outside the image";
        case platter::block_range_fault::pastEnd: return text + "runs past the end of the image";
        case platter::block_range_fault::directoryTrack:
            return text + "covers the directory track " + std::to_string(directoryTrack);
        case platter::block_range_fault::systemArea: return text + "covers the system area";
        case platter::block_range_fault::smallerThanKind: return text + "is smaller than its kind needs";
        case platter::block_range_fault::noHeader: return text + "does not start with a header of its kind";
        case platter::block_range_fault::overlapsPartition: return text + "overlaps another partition";
        case platter::block_range_fault::notWholeTracks: return text + "is not whole tracks";
        case platter::block_range_fault::headerOutside:
            return "the subdirectory of entry [" + std::to_string(index) + "] has its header outside the image";
        case platter::block_range_fault::enclosingHeader:
            return "the subdirectory of entry [" + std::to_string(index) +
                   "] has the header of a directory that encloses it";
        case platter::block_range_fault::directoryOutside:
            return "the subdirectory of entry [" + std::to_string(index) + "] starts outside its partition";
        case platter::block_range_fault::enclosingStart:
            return "entry [" + std::to_string(index) + "] leads back into an enclosing directory";
        case platter::block_range_fault::none: break;
    }
    return text + "is whole";
}

int reportUsageError(const forge::getopt::Getopt& getopt, std::string_view text) {
    std::cerr << "error: " << text << "\n\n";
    getopt.printShortUsage(std::cerr);
    getopt.printTryHelp(std::cerr);
    return 1;
}

int reportMissingFile(const forge::getopt::Getopt& getopt) {
    return reportUsageError(getopt, "missing at least one FILE.");
}

bool reportNamelessOutput(const forge::getopt::Getopt& getopt, const std::string& path, std::string_view what) {
    if (!forge::fileName(path).empty()) return false;
    reportUsageError(getopt, std::string(what) + " is empty or names a directory.");
    return true;
}

int reportUsageWithoutFile(const forge::getopt::Getopt& getopt) {
    getopt.printUsage(std::cerr);
    std::cerr << "\n";
    getopt.printTryHelp(std::cerr);
    std::cerr << "\n";
    return 1;
}

std::vector<std::uint32_t> renderTargets(std::uint32_t typeId) {
    if (typeId == platter::fileid::type_id::petscii) return {0, 1, 2, 3, 6, 4};
    if (platter::fileid::isTypeInCategory(typeId, kCategoryContainer)) return listingRenderTargets();
    if (platter::fileid::isTypeInCategory(typeId, kCategoryPicture)) return {4, 5, 7};
    return {};
}

std::vector<std::uint32_t> listingRenderTargets() { return {0, 1, 2, 3}; }

}  // namespace app
