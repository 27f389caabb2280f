#include "tests/support/d64_image.hpp"

#include <algorithm>

#include "platter/open/open_container.hpp"

namespace test_support {

bytes_t patternBytes(std::size_t size, unsigned seed) {
    bytes_t out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>((i * 7 + seed) & 255);
    return out;
}

std::array<std::uint8_t, 16> cbmName(const std::string& text, bool shifted) {
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    for (std::size_t i = 0; i < text.size() && i < 16; ++i) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        name[i] = (shifted && c >= 'A' && c <= 'Z') ? static_cast<std::uint8_t>(c + 0x80) : c;
    }
    return name;
}

std::array<std::uint8_t, 16> nameOf(const platter::dir_entry_t& entry) {
    std::array<std::uint8_t, 16> name;
    std::copy(entry.name().begin(), entry.name().end(), name.begin());
    return name;
}

std::size_t d64Offset(unsigned track, unsigned sector) {
    std::size_t blocks = 0;
    for (unsigned t = 1; t < track; ++t) blocks += platter::Disk41::sectorsOnTrack(t);
    return (blocks + sector) * 256;
}

std::unique_ptr<platter::Disk> openD64(const bytes_t& bytes) {
    return platter::openContainer(platter::format_id::d64, "test.d64", bytes).disk;
}

std::unique_ptr<platter::Disk> openDirectoryD64(const bytes_t& bytes) {
    auto disk = std::make_unique<DirectoryD64>();
    if (!disk->openBytes("nest.d64", bytes)) return nullptr;
    disk->setIncludeEmpty(true);
    return disk;
}

TestImage TestImage::fromBytes(const bytes_t& bytes) {
    TestImage image;
    image.provider->assign(bytes);
    image.disk->setDataProvider(image.provider.get());
    image.disk->open("test.d64", false, false);
    return image;
}

TestImage TestImage::fromFixture(const std::string& name) { return fromBytes(readFixture("d64/" + name)); }

TestImage TestImage::blank() {
    TestImage image;
    image.disk->setDataProvider(image.provider.get());
    image.disk->open("new.d64", false, true);
    return image;
}

bytes_t TestImage::bytes() const {
    const std::uint8_t* data = provider->dataAt(0, platter::track_sector_t{});
    return bytes_t(data, data + provider->size());
}

}  // namespace test_support
