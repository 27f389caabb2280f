#pragma once

#include <cstdint>

namespace platter {

// How filling an image from an archive ended.
enum class import_result_t : std::uint8_t {
    done,     // every file stored
    partial,  // files stored, but at least one came out short or was dropped
    full,     // the image ran out of room: a larger image kind may hold the archive
    damaged,  // the archive's bytes are wrong: nothing usable
};

// Keeps the outcome of a run of entries: the first `full` or `damaged` ends
// the run; `partial` sticks once seen.
class ImportStatus {
public:
    // Records an outcome; false when the run must stop.
    bool note(import_result_t result) {
        if (result == import_result_t::full || result == import_result_t::damaged) {
            result_ = result;
            return false;
        }
        if (result == import_result_t::partial) result_ = import_result_t::partial;
        return true;
    }
    import_result_t result() const { return result_; }

private:
    import_result_t result_ = import_result_t::done;
};

}  // namespace platter
