#include "tests/support/zip6_set.hpp"

#include <algorithm>
#include <map>

namespace test_support {

namespace {

// Data blocks of a track in the order the set stores them.
const bytes_t& interleave(unsigned track) {
    static const std::map<unsigned, bytes_t> orders = {
        {21, {0, 8, 16, 3, 11, 19, 6, 14, 1, 9, 17, 4, 12, 20, 7, 15, 2, 10, 18, 5, 13}},
        {19, {0, 8, 16, 5, 13, 2, 10, 18, 7, 15, 4, 12, 1, 9, 17, 6, 14, 3, 11}},
        {18, {0, 8, 16, 6, 14, 4, 12, 2, 10, 1, 9, 17, 7, 15, 5, 13, 3, 11}},
        {17, {0, 8, 16, 7, 15, 6, 14, 5, 13, 4, 12, 3, 11, 2, 10, 1, 9}},
    };
    return orders.at(zip6SectorsOf(track));
}

bytes_t trackArea(unsigned track, const zip6_track_t& in) {
    bytes_t area(256);
    for (std::size_t i = 0; i < in.headers.size() && i < 25; ++i)
        std::copy(in.headers[i].begin(), in.headers[i].end(), area.begin() + static_cast<std::ptrdiff_t>(10 * i));
    area[255] = static_cast<std::uint8_t>(in.count);
    for (std::size_t i = 0; i < std::min<std::size_t>(in.count, 25); ++i) {
        const bytes_t& block = i < zip6SectorsOf(track) ? in.data[interleave(track)[i]] : bytes_t(326, 0x55);
        // Stored rotated: the bytes from 256 on first.
        area.insert(area.end(), block.begin() + 256, block.end());
        area.insert(area.end(), block.begin(), block.begin() + 256);
    }
    return area;
}

std::uint32_t le(const bytes_t& data, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size; i-- > 0;) value = value << 8 | data[at + static_cast<std::size_t>(i)];
    return value;
}

}  // namespace

unsigned zip6SectorsOf(unsigned track) { return track <= 17 ? 21 : track <= 24 ? 19 : track <= 30 ? 18 : 17; }

zip6_set_t makeZip6Set(unsigned tracks, const zip6_source_t& source) {
    const unsigned first[] = {1, 7, 13, 19, 26, 33, tracks + 1};
    zip6_set_t parts;
    for (unsigned k = 0; k < 6; ++k) {
        parts[k] = {0xFF, 0x03, static_cast<std::uint8_t>(tracks + 1)};
        for (unsigned track = first[k]; track < (k < 5 ? first[k + 1] : tracks + 1); ++track) {
            const bytes_t area = trackArea(track, source(track));
            parts[k].insert(parts[k].end(), area.begin(), area.end());
        }
    }
    return parts;
}

bytes_t g64Track(const bytes_t& g64, unsigned track) {
    const std::size_t offset = le(g64, 12 + 8 * (track - 1), 4);
    const std::size_t length = le(g64, offset, 2);
    return bytes_t(g64.begin() + static_cast<std::ptrdiff_t>(offset + 2),
                   g64.begin() + static_cast<std::ptrdiff_t>(offset + 2 + length));
}

std::vector<bytes_t> blocksAfterSyncs(const bytes_t& track) {
    std::vector<bytes_t> out;
    for (std::size_t at = 0; at + 1 < track.size();) {
        if (track[at] != 0xFF || track[at + 1] != 0xFF) {
            ++at;
            continue;
        }
        while (at < track.size() && track[at] == 0xFF) ++at;
        const std::size_t size = track[at] == 0x52 ? 10 : 326;
        out.emplace_back(track.begin() + static_cast<std::ptrdiff_t>(at),
                         track.begin() + static_cast<std::ptrdiff_t>(std::min(at + size, track.size())));
        at += size;
    }
    return out;
}

zip6_set_t zip6SetOfG64(const bytes_t& g64, unsigned tracks) {
    return makeZip6Set(tracks, [&](unsigned track) {
        const std::vector<bytes_t> blocks = blocksAfterSyncs(g64Track(g64, track));
        zip6_track_t data;
        for (std::size_t i = 0; i + 1 < blocks.size(); i += 2) {
            data.headers.push_back(blocks[i]);
            data.data.push_back(blocks[i + 1]);
        }
        data.count = data.headers.size();
        return data;
    });
}

}  // namespace test_support
