#pragma once

#include <cstdint>

#include "platter/archive/archive_entry.hpp"

namespace platter {

class ArchiveDamage;
class Disk;

// Stores decoded archive entries as files of an image, each at the next
// directory position. A file that does not fit leaves nothing behind; one
// stored short is told to `damage` (when given) as it was stored.
class DiskEntrySink {
public:
    DiskEntrySink(Disk& disk, std::int64_t firstPosition, ArchiveDamage* damage = nullptr)
        : disk_(disk), position_(firstPosition), damage_(damage) {}

    // `done` when stored, `full` when the image ran out of room for the file
    // or its entry, `partial` when it cannot be stored otherwise.
    import_result_t store(const archive_entry_t& entry);
    entry_sink sink() {
        return [this](const archive_entry_t& entry) { return store(entry); };
    }

private:
    Disk& disk_;
    std::int64_t position_;
    ArchiveDamage* damage_;
};

// What a failed write on the image means for the archive: `full` for no free
// block or directory slot (last error 2 or 24), else `otherwise`.
import_result_t failureOf(const Disk& disk, import_result_t otherwise);

}  // namespace platter
