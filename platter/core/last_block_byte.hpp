#pragma once
// The byte of a chain's last block that says where its data end: 2 to 255. A byte of 0 or 1
// says no size: the block is kept whole, and that is named.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platter {

// Whether the byte of a chain's last block says no size.
inline bool saysNoSize(std::uint8_t lastByte) { return lastByte < 2; }

// A chain read with its last block kept whole: the byte it gave, and the blocks of the chain
// (of a GEOS file's record, when `record` is set).
struct unsized_chain_t {
    std::optional<std::size_t> record;
    std::uint8_t lastByte = 0;
    std::uint64_t blocks = 0;

    bool operator==(const unsized_chain_t&) const = default;
};

// What is said of a file or record (`subject`, named) whose last block's byte, below 2, says
// no size, so that its `blocks` were kept whole.
std::string unsizedLastBlockText(const std::string& subject, std::uint8_t lastByte, std::uint64_t blocks);

}  // namespace platter
