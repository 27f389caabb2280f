#include "platter/core/last_block_byte.hpp"

namespace platter {

std::string unsizedLastBlockText(const std::string& subject, std::uint8_t lastByte, std::uint64_t blocks) {
    return subject + " gives its last block the byte " + std::to_string(lastByte) + ", which says no size; its " +
           std::to_string(blocks) + (blocks == 1 ? " block was" : " blocks were") + " kept whole";
}

}  // namespace platter
