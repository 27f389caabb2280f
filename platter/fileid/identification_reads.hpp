#pragma once

#include <cstdint>
#include <vector>

namespace platter::fileid {

struct byte_range_t {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// The 256-byte blocks identify() looks at in a file of `size` bytes when the size alone
// names a disk image of fixed size: the first block and the image's header block. Empty
// when identification may look at any byte, so the whole file has to be read.
std::vector<byte_range_t> identificationReads(std::uint64_t size);

}  // namespace platter::fileid
