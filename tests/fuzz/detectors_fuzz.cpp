// libFuzzer target: every detector of the file-type table run on arbitrary bytes
// outside the walk (no size limits, as a type hint runs them), then the
// description line with its metadata texts and nested data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platter/fileid/describe.hpp"
#include "platter/fileid/file_type_table.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, so that a read past the end is seen.
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (const auto& record : platter::fileid::g_file_types) {
        if (record.detector != nullptr) record.detector(std::span<const std::uint8_t>(bytes));
    }
    platter::fileid::describe(bytes);
    return 0;
}
