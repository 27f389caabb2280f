#include "platter/formats/partition_host.hpp"

#include <algorithm>

#include "platter/core/disk.hpp"

namespace platter {

PartitionTie::~PartitionTie() {
    if (host_) host_->forget(*this);
}

void PartitionTie::modified(bool on) {
    if (host_) host_->viewModified(on);
}

void PartitionTie::untie() {
    if (!host_) return;
    host_->forget(*this);
    cut();
}

void PartitionTie::cut() {
    host_ = nullptr;
    view_.setDataProvider(nullptr);
}

std::shared_ptr<Disk> PartitionHost::find(std::uint64_t start) const {
    for (const record_t& record : records_) {
        if (record.start != start) continue;
        if (std::shared_ptr<Disk> view = record.view.lock()) return view;
    }
    return nullptr;
}

void PartitionHost::add(const std::shared_ptr<Disk>& view, PartitionTie& tie, std::uint64_t start) {
    tie.host_ = this;
    records_.push_back(record_t{view, &tie, start});
}

void PartitionHost::cutAll() {
    std::vector<record_t> records;
    records.swap(records_);
    for (record_t& record : records) record.tie->cut();
}

void PartitionHost::clearModified() {
    clearing_ = true;
    for (const record_t& record : records_) {
        if (const std::shared_ptr<Disk> view = record.view.lock()) view->setModified(false);
    }
    clearing_ = false;
}

void PartitionHost::forget(const PartitionTie& tie) {
    std::erase_if(records_, [&](const record_t& record) { return record.tie == &tie; });
}

// A view's change is a change of the host's bytes. A view that was saved on its own does not
// clear the host, whose other changes may still be unsaved.
void PartitionHost::viewModified(bool on) {
    if (on && !clearing_ && !owner_.isModified()) owner_.setModified(true);
}

}  // namespace platter
