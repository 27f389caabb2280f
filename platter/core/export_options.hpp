#pragma once

#include <functional>
#include <memory>

#include "platter/core/dir_entry.hpp"

namespace platter {

class Disk;
class PetsciiWriter;

// The form exported files take: the entry's native extension (.prg, .seq ...), the P00 family
// (.p00, .s00, .r00) or host text converted from PETSCII (.txt, SEQ files only).
enum class export_mode { native, p00, text };

// How an entry holding an archive or a zipcode set opens as an image of its own. Building images
// of other classes is the open library's work, which fills this in (platter/open).
struct entry_image_opener_t {
    std::function<bool(Disk& disk, const dir_entry_t& entry)> holdsContainer;
    // Null when the container does not open.
    std::function<std::unique_ptr<Disk>(Disk& disk, const dir_entry_t& entry)> open;
};

struct export_options_t {
    export_mode mode = export_mode::native;
    // Draws text documents and pictures; a listing writer when null.
    PetsciiWriter* writer = nullptr;
    // Set: only the entries that hold an archive or zipcode set are exported, each saved as the
    // image it opens as, under that image kind's extension.
    const entry_image_opener_t* archivesAsImages = nullptr;
};

}  // namespace platter
