#include "platter/core/buffered_data_provider.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace platter {

void BufferedDataProvider::setSize(std::uint64_t bytes) { size_ = bytes; }

std::uint64_t BufferedDataProvider::size() const { return size_; }

std::uint8_t* BufferedDataProvider::dataAt(std::uint64_t offset, const track_sector_t& block) {
    const auto key = static_cast<std::int64_t>(offset);
    if (const auto hit = cache_.find(key); hit != cache_.end()) return hit->second.data.data();
    cached_block_t loaded;
    if (!loadBlock(offset, block, loaded)) return nullptr;
    loaded.present = 1;
    loaded.data = loaded.loaded;
    return cache_.emplace(key, loaded).first->second.data.data();
}

std::uint64_t BufferedDataProvider::available(std::uint64_t offset) const { return offset < size_ ? 256 : 0; }

bool BufferedDataProvider::load(const std::filesystem::path& path) {
    name_ = path.string();
    file_.close();
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (error) return false;
    size_ = bytes;
    return true;
}

bool BufferedDataProvider::assignToParent(std::span<const std::uint8_t> /*data*/) { return false; }

bool BufferedDataProvider::writeBlock(std::uint64_t offset, std::span<const std::uint8_t, 256> data) {
    const auto hit = cache_.find(static_cast<std::int64_t>(offset));
    if (hit == cache_.end()) return false;
    std::copy(data.begin(), data.end(), hit->second.loaded.begin());
    hit->second.data = hit->second.loaded;
    hit->second.present = 1;
    return true;
}

bool BufferedDataProvider::loadBlock(std::uint64_t offset, const track_sector_t& /*block*/, cached_block_t& out) {
    out.loaded.fill(0);
    // Past the end nothing is read: no phantom zero block. A short last block is zero-filled.
    if (readFile(offset, out.loaded) <= 0) return false;
    out.present = 1;
    return true;
}

std::streamsize BufferedDataProvider::readFile(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (!file_.is_open()) file_.open(name_, std::ios::binary);
    file_.clear();
    if (!file_) return -1;
    file_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    if (!file_) return -1;
    file_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return file_.bad() ? -1 : file_.gcount();
}

bool BufferedDataProvider::copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) {
    // A range past the end takes the zero-filled last block through dataAt.
    if (offset > size_ || out.size() > size_ - offset) return DataProvider::copyBytes(offset, out);
    constexpr std::uint64_t kBlock = sizeof(cached_block_t::data);
    const std::uint64_t end = offset + out.size();
    // Every cached block that overlaps the range, in its place, as a save writes it.
    auto cached = cache_.lower_bound(static_cast<std::int64_t>(offset >= kBlock ? offset - kBlock + 1 : 0));
    for (std::uint64_t at = offset; at < end;) {
        const auto start = cached == cache_.end() ? end : static_cast<std::uint64_t>(cached->first);
        if (start <= at) {
            const std::uint64_t stop = std::min(start + kBlock, end);
            if (stop > at)
                std::copy(cached->second.data.begin() + static_cast<std::ptrdiff_t>(at - start),
                          cached->second.data.begin() + static_cast<std::ptrdiff_t>(stop - start),
                          out.begin() + static_cast<std::ptrdiff_t>(at - offset));
            at = std::max(at, stop);
            ++cached;
            continue;
        }
        const std::uint64_t next = std::min(start, end);
        const std::span<std::uint8_t> piece =
            out.subspan(static_cast<std::size_t>(at - offset), static_cast<std::size_t>(next - at));
        if (readFile(at, piece) != static_cast<std::streamsize>(piece.size())) return false;
        at = next;
    }
    return true;
}

bool BufferedDataProvider::copyWithChanges(const piece_writer& write) {
    std::ifstream in(name_, std::ios::binary);
    if (!in) return false;
    constexpr std::uint64_t kPiece = 1 << 20;
    constexpr std::uint64_t kBlock = sizeof(cached_block_t::data);
    std::vector<std::uint8_t> piece;
    for (std::uint64_t at = 0; at < size_; at += kPiece) {
        piece.resize(static_cast<std::size_t>(std::min(kPiece, size_ - at)));
        in.read(reinterpret_cast<char*>(piece.data()), static_cast<std::streamsize>(piece.size()));
        if (static_cast<std::uint64_t>(in.gcount()) != piece.size()) return false;
        const std::uint64_t end = at + piece.size();
        // Every changed block that overlaps the piece, the part inside it.
        const auto first = static_cast<std::int64_t>(at >= kBlock ? at - kBlock + 1 : 0);
        for (auto it = cache_.lower_bound(first); it != cache_.end(); ++it) {
            const auto offset = static_cast<std::uint64_t>(it->first);
            if (offset >= end) break;
            const cached_block_t& block = it->second;
            if (block.data == block.loaded) continue;
            const std::uint64_t from = std::max(offset, at);
            const std::uint64_t to = std::min(offset + kBlock, end);
            std::copy(block.data.begin() + static_cast<std::ptrdiff_t>(from - offset),
                      block.data.begin() + static_cast<std::ptrdiff_t>(to - offset),
                      piece.begin() + static_cast<std::ptrdiff_t>(from - at));
        }
        if (!write(piece)) return false;
    }
    return true;
}

void BufferedDataProvider::changesSaved(const std::filesystem::path& path) {
    name_ = path.string();
    file_.close();
    for (auto& [offset, block] : cache_) block.loaded = block.data;
}

}  // namespace platter
