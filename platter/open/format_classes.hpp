#pragma once
// The classes that open each kind of the registry: one line per kind in
// format_classes.cpp. A kind without a line is reported as not built yet.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platter/archive/archive_importers.hpp"
#include "platter/ids/format_id.hpp"
#include "platter/open/open_result.hpp"

namespace platter {

class Disk;

// Fills a freshly formatted image from an archive (platter/archive/archive_importers.hpp).
using ArchiveImporter = import_result_t (*)(Disk& disk, const archive_source_t& source);
// An unopened object of an image class (presets set, no provider).
using ImageMaker = std::unique_ptr<Disk> (*)();
// Builds the container of a kind with an opener of its own. `bytes` is the file's content when
// the caller has it (also for standard input), null when the opener must read `path` itself.
using ContainerOpener = open_result_t (*)(format_id id, const std::filesystem::path& path,
                                          const std::vector<std::uint8_t>* bytes);

struct format_class_t {
    format_id id;
    ImageMaker makeImage = nullptr;           // disk and tape image kinds
    ArchiveImporter importArchive = nullptr;  // archive kinds
    ContainerOpener open = nullptr;           // single files and other kinds
};

template <typename Image>
std::unique_ptr<Disk> makeImage() {
    return std::make_unique<Image>();
}

// The line of a kind, or null when this build has no class for it.
const format_class_t* formatClass(format_id id);

// An unopened image object of the kind's class, or null when the kind is no image kind or its
// class is not built.
std::unique_ptr<Disk> makeDiskOfFormat(format_id id);

// An empty formatted image of the kind, or why not.
open_result_t createBlankDisk(format_id id, std::uint32_t formatArgument);

// "the D81 format is not supported yet": a kind this build has no class for.
std::string formatNotBuiltText(format_id id);

}  // namespace platter
