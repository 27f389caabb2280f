#pragma once
// The importers that fill a freshly formatted image from an archive, one per
// archive kind. Each answers how it ended: `done`, `partial` (files stored,
// some short or left out), `full` (a larger image kind may hold the archive)
// or `damaged` (nothing usable); what it finds wrong on the way (files stored
// short or without their data, files that fail the archive's check value,
// bytes no file accounts for) goes to the source's `damage`.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platter/archive/archive_damage.hpp"
#include "platter/archive/archive_entry.hpp"
#include "platter/archive/import_result.hpp"

namespace platter {

class Disk;

struct archive_source_t {
    std::span<const std::uint8_t> bytes;
    // The identified type, which tells the Lynx layouts apart; 1 asks for
    // identification first.
    std::uint32_t typeId = 1;
    // Receives the data of a leading LHA "title" entry; may be null.
    std::vector<std::uint8_t>* title = nullptr;
    // Receives what the importer finds wrong with the archive; may be null.
    ArchiveDamage* damage = nullptr;
};

import_result_t importArc(Disk& disk, const archive_source_t& source);
import_result_t importSda(Disk& disk, const archive_source_t& source);
import_result_t importLha(Disk& disk, const archive_source_t& source);
import_result_t importSfx(Disk& disk, const archive_source_t& source);
import_result_t importWr3(Disk& disk, const archive_source_t& source);
import_result_t importLnx(Disk& disk, const archive_source_t& source);
import_result_t importCvt(Disk& disk, const archive_source_t& source);
import_result_t importArk(Disk& disk, const archive_source_t& source);
import_result_t importLbr(Disk& disk, const archive_source_t& source);
import_result_t importSpy(Disk& disk, const archive_source_t& source);

}  // namespace platter
