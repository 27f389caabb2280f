#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platter/core/data_provider.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/gcr_file.hpp"

namespace platter {

// The D64 that the raw tracks of a G64, NIB or NBZ file decode to. A track is
// decoded when one of its bytes is first asked for, so a listing costs the
// directory track only; the error table, which needs every track, follows the
// image once `finish` was called. A change of size or content decodes the
// rest and holds the image in memory from then on. A file read on demand is
// read a range at a time: its table, each dump's first bytes, and a track's
// dump when it is decoded.
class GcrTrackProvider : public DataProvider {
public:
    GcrTrackProvider();

    // The provider holding the raw file, kept until the image is held whole.
    void holdFile(std::unique_ptr<DataProvider> file);
    // Loading the tracks: the decoder reads the file through `file`, or bytes
    // unpacked from it into `unpacked`.
    GcrDecoder& decoder() { return decoder_; }
    const gcr_file_t& file() const { return fileBytes_; }
    std::vector<std::uint8_t>& unpacked() { return unpacked_; }

    // Decodes every track; true when the image carries an error table.
    bool finish();

    void setSize(std::uint64_t bytes) override;
    std::uint64_t size() const override;
    bool assign(std::span<const std::uint8_t> data) override;
    std::uint8_t* dataAt(std::uint64_t offset, const track_sector_t& block) override;
    // Up to the end of the offset's block until every track is decoded.
    std::uint64_t available(std::uint64_t offset) const override;
    // A sector that could not be decoded is no data, though its block holds the
    // bytes a D64 of the image keeps (the format pattern, or what a bad checksum
    // left). Blocks a resize added past the decoded ones are data.
    bool isBlockReadable(std::uint64_t offset) override;
    // The raw file lost bytes it had when it was opened.
    bool readFailed() const override;

private:
    void holdWhole();

    std::unique_ptr<DataProvider> file_;
    gcr_file_t fileBytes_;
    std::vector<std::uint8_t> unpacked_;
    // Mutable: `available` and `size` may have to decode the tracks past 35.
    mutable GcrDecoder decoder_;
    bool hasErrorTable_ = false;
    bool whole_ = false;
    bool readFailed_ = false;
};

}  // namespace platter
