#pragma once
// The bond between an image that holds partitions (a CMD or IDE64 image) and the views opened
// over its bytes. The host keeps a record of every live view; a view's modified state reaches
// the host; when the host closes or goes, it cuts every view off its bytes, so a view that
// outlives its host reads nothing rather than freed memory.

#include <cstdint>
#include <memory>
#include <vector>

namespace platter {

class Disk;
class PartitionHost;

// What a view holds of its host: the host while both live.
class PartitionTie {
public:
    explicit PartitionTie(Disk& view) : view_(view) {}
    ~PartitionTie();
    PartitionTie(const PartitionTie&) = delete;
    PartitionTie& operator=(const PartitionTie&) = delete;

    bool tied() const { return host_ != nullptr; }
    // The view became modified (or saved): the host follows.
    void modified(bool on);
    // The view closes: the host forgets it and the view lets go of the host's bytes.
    void untie();

private:
    friend class PartitionHost;
    // Leaves the view without a byte source.
    void cut();

    Disk& view_;
    PartitionHost* host_ = nullptr;
};

class PartitionHost {
public:
    explicit PartitionHost(Disk& owner) : owner_(owner) {}
    ~PartitionHost() { cutAll(); }
    PartitionHost(const PartitionHost&) = delete;
    PartitionHost& operator=(const PartitionHost&) = delete;

    // The live view over the partition starting at `start` (a byte offset), or null.
    std::shared_ptr<Disk> find(std::uint64_t start) const;
    // Records a view that was just attached to this host's bytes.
    void add(const std::shared_ptr<Disk>& view, PartitionTie& tie, std::uint64_t start);
    // Cuts every view off; the views stay with their owners, empty.
    void cutAll();
    // Clears the modified flag of every view (the host was saved or undone to its start).
    void clearModified();
    std::size_t openCount() const { return records_.size(); }

private:
    friend class PartitionTie;
    void forget(const PartitionTie& tie);
    void viewModified(bool on);

    struct record_t {
        std::weak_ptr<Disk> view;
        PartitionTie* tie;
        std::uint64_t start;
    };
    Disk& owner_;
    std::vector<record_t> records_;
    bool clearing_ = false;
};

}  // namespace platter
