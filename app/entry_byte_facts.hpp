#pragma once
// What a listing takes of an entry's bytes as a read hands them on, a piece at a time: the
// first two (the load address) and, when asked, the two hashes, equal to those of the bytes
// taken whole. Nothing else of them is kept.

#include <xxhash.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace app {

class EntryByteFacts {
public:
    explicit EntryByteFacts(bool hashes);

    void take(std::span<const std::uint8_t> piece);
    // How many of the first bytes these facts need: all of them for the hashes.
    std::uint64_t wantedBytes() const { return xxh32_ ? UINT64_MAX : head_.size(); }
    // Little-endian from the first two bytes; none when fewer were taken.
    std::optional<std::uint16_t> loadAddress() const;
    // Of the bytes taken so far; only when constructed with hashes.
    std::uint32_t xxh32() const;
    std::uint64_t xxh3() const;

private:
    struct xxh32_free {
        void operator()(XXH32_state_t* state) const { XXH32_freeState(state); }
    };
    struct xxh3_free {
        void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
    };

    std::array<std::uint8_t, 2> head_{};
    std::size_t headLength_ = 0;
    std::unique_ptr<XXH32_state_t, xxh32_free> xxh32_;
    std::unique_ptr<XXH3_state_t, xxh3_free> xxh3_;
};

}  // namespace app
