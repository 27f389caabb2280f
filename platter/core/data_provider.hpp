#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

// The byte source behind an image: the whole content held in memory. Subclasses read blocks on
// demand or show a window of a parent provider.
class DataProvider {
public:
    DataProvider() = default;
    // Holds `bytes` (moved in, never copied) as the content of the file named `name`.
    explicit DataProvider(std::vector<std::uint8_t> bytes, std::string name = {})
        : bytes_(std::move(bytes)), name_(std::move(name)) {}
    virtual ~DataProvider() = default;
    DataProvider(const DataProvider&) = delete;
    DataProvider& operator=(const DataProvider&) = delete;

    // Cuts the content, or grows it with zero bytes.
    virtual void setSize(std::uint64_t bytes);
    virtual std::uint64_t size() const;
    // Replaces the whole content.
    virtual bool assign(std::span<const std::uint8_t> data);
    // Pointer to the byte at offset, or null. The plain provider answers up to offset == size
    // (a pointer to the end); use `available` to learn how many bytes a pointer may reach.
    virtual std::uint8_t* dataAt(std::uint64_t offset, const track_sector_t& block);
    // Number of bytes that can be read through the pointer `dataAt(offset)` gives; 0 for none.
    virtual std::uint64_t available(std::uint64_t offset) const;
    // Pointer to `length` readable bytes at offset (more than one block), or null.
    virtual std::uint8_t* rangeAt(std::uint64_t offset, std::uint64_t length);
    // Reads the whole file into memory and remembers its path as the name.
    virtual bool load(const std::filesystem::path& path);
    virtual bool isBlockReadable(std::uint64_t offset);
    // isBlockReadable of every block of the `length` bytes from offset, asked at once.
    virtual bool isRangeReadable(std::uint64_t offset, std::uint64_t length);
    // Whether copyBytes of the range can fail only on a read error of the host: a provider that
    // reads a file answers from sizes, without reading.
    virtual bool holdsRange(std::uint64_t offset, std::uint64_t length);
    // Copies the bytes from offset on, as dataAt shows them (edits included), into the caller's
    // buffer without keeping what it read, so an image of any size streams through a buffer of
    // fixed size. False when a byte cannot be had or a block it touches holds no data
    // (isBlockReadable): the caller then asks for those blocks one at a time.
    virtual bool copyBytes(std::uint64_t offset, std::span<std::uint8_t> out);
    // True once bytes the file held when it was opened could no longer be read: it shrank.
    virtual bool readFailed() const { return false; }

    const std::string& name() const { return name_; }

protected:
    std::vector<std::uint8_t> bytes_;
    std::string name_;
};

// CMD partition-table arithmetic; a 32-bit value holds bytes b0 (lowest) to b3.
// Block number of the two bytes b1 b2.
std::uint64_t partitionBlockNumber(std::uint32_t value);
// Byte offset of the three-byte block number b1 b2 b3 counted in 512-byte units.
std::uint64_t partitionByteOffset(std::uint32_t value);

}  // namespace platter
