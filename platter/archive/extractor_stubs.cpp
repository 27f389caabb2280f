#include "platter/archive/extractor_stubs.hpp"

#include <array>
#include <cstddef>
#include <string_view>

namespace platter {

namespace {

constexpr std::size_t kMinSda = 1016;
constexpr std::size_t kSdaStubByte = 4;
constexpr std::size_t kSdaStubBias = 6;
constexpr std::size_t kBlockData = 254;

constexpr std::size_t kSfxStubByte = 103;
constexpr std::size_t kSfxStubCe = 3721;
constexpr std::size_t kSfxStubC4 = 3711;
// Shortest first: a longer stub's probe would land inside the archive, where
// a later entry's method could match; a shorter one's lands in stub code.
constexpr std::array<std::size_t, 3> kSfxStubs{3651, 3711, 3721};
constexpr std::size_t kMethodOffset = 2;
constexpr std::size_t kMethodLength = 5;

bool lhaMethodAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (bytes.size() < at + kMethodLength) return false;
    const std::string_view method(reinterpret_cast<const char*>(bytes.data() + at), kMethodLength);
    return method == "-lh0-" || method == "-lh1-";
}

std::size_t sfxStubLength(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kSfxStubByte) {
        if (bytes[kSfxStubByte] == 0xCE) return kSfxStubCe;
        if (bytes[kSfxStubByte] == 0xC4) return kSfxStubC4;
    }
    for (std::size_t stub : kSfxStubs) {
        if (lhaMethodAt(bytes, stub + kMethodOffset)) return stub;
    }
    return 0;
}

}  // namespace

std::optional<std::span<const std::uint8_t>> skipSdaStub(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kMinSda || bytes[kSdaStubByte] < kSdaStubBias) return std::nullopt;
    const std::size_t stub = (bytes[kSdaStubByte] - kSdaStubBias) * kBlockData;
    if (bytes.size() < stub) return std::nullopt;
    return bytes.subspan(stub);
}

std::optional<std::span<const std::uint8_t>> skipSfxStub(std::span<const std::uint8_t> bytes) {
    const std::size_t stub = sfxStubLength(bytes);
    if (stub == 0 || bytes.size() <= stub) return std::nullopt;
    return bytes.subspan(stub);
}

}  // namespace platter
