#pragma once
// A partition of a CMD image as an image of its own kind: the kind's class over a window of
// the host's bytes. Every operation of the kind works unchanged; the window alone translates
// offsets, so the view's block offsets are its kind's. A view is as large as its partition
// and no larger: it never grows, shrinks or formats itself.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <type_traits>

#include "platter/core/pass_thru_data_provider.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/formats/disk71.hpp"
#include "platter/formats/disk81.hpp"
#include "platter/formats/disk_np.hpp"
#include "platter/formats/partition_host.hpp"

namespace platter {

template <class Base>
class PartView : public Base {
public:
    PartView() {
        if constexpr (std::is_same_v<Base, Disk41>) this->keepTracksOfSize();
    }

    void close() override { tie_.untie(); }
    void setModified(bool on) override {
        Base::setModified(on);
        tie_.modified(on);
    }
    bool isResizable() const override { return false; }
    bool resize(std::uint64_t bytes) override { return bytes == this->providerSize(); }
    bool extendDisk(bool /*grow*/) override { return false; }
    // The bytes belong to the host, which is saved as a whole.
    std::optional<forge::save_failure_t> save() override {
        return forge::save_failure_t{false, "a partition is saved with the image that holds it"};
    }
    bool formatImage(std::uint32_t /*formatArg*/) override { return false; }

    // The bytes of a partition of `size` bytes that the view shows: a native partition all of
    // them, the others the image of their kind (a 1541 partition has one block more than a D64).
    std::uint64_t windowSize(std::uint64_t size) const {
        if constexpr (std::is_same_v<Base, DiskNP>)
            return size;
        else
            return std::min(size, this->defaultImageSize());
    }
    // A new partition gets the empty file system of its kind, written into its window.
    bool formatInPlace(std::uint32_t formatArg) { return Base::formatImage(formatArg); }
    PartitionTie& tie() { return tie_; }

private:
    PartitionTie tie_{*this};
};

using Part41 = PartView<Disk41>;
using Part71 = PartView<Disk71>;
using Part81 = PartView<Disk81>;
using PartNP = PartView<DiskNP>;

// Opens a view of class `View` over the partition of `size` bytes at byte `start` of the host's
// bytes and records it with the host.
template <class View>
std::shared_ptr<View> attachView(PartitionHost& host, DataProvider& bytes, std::uint64_t start, std::uint64_t size,
                                 const std::filesystem::path& path) {
    auto view = std::make_shared<View>();
    view->adoptDataProvider(std::make_unique<PassThruDataProvider>(bytes, start, view->windowSize(size)));
    view->open(path, false, false);
    view->setPathForFormat(path);
    host.add(view, view->tie(), start);
    return view;
}

}  // namespace platter
