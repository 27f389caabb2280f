#include "platter/fileid/file_types.hpp"

#include <algorithm>

#include "platter/fileid/file_type_table.hpp"

namespace platter::fileid {

namespace {

// Row number of every id, so that lookups need no search; ids the table lacks map
// to row 0.
const std::vector<std::uint16_t>& rowIndex() {
    static const std::vector<std::uint16_t> index = [] {
        std::uint32_t highest = 0;
        for (const auto& record : g_file_types) highest = std::max(highest, record.id);
        std::vector<std::uint16_t> rows(highest + 1, 0);
        for (std::size_t row = g_file_types.size(); row-- > 0;)
            rows[g_file_types[row].id] = static_cast<std::uint16_t>(row);
        return rows;
    }();
    return index;
}

bool contains(std::span<const std::uint32_t> ids, std::uint32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void appendDescendants(std::uint32_t id, std::vector<std::uint32_t>& out) {
    if (contains(out, id)) return;
    out.push_back(id);
    for (const auto& record : g_file_types) {
        if (record.parent == id && record.id != id) appendDescendants(record.id, out);
    }
}

}  // namespace

const file_type_record_t& findType(std::uint32_t id) {
    const auto& index = rowIndex();
    return g_file_types[id < index.size() ? index[id] : 0];
}

std::string typeName(std::uint32_t id) { return findType(id).name; }

bool isDescendantOf(std::uint32_t id, std::uint32_t ancestor) {
    // Parents are at most a few levels deep; the bound only guards against a cycle.
    const file_type_record_t* record = &findType(id);
    for (std::size_t depth = 0; record->parent != 0 && depth < g_file_types.size(); ++depth) {
        if (record->parent == ancestor) return true;
        record = &findType(record->parent);
    }
    return false;
}

bool isDescendantOf(const file_traits_t& traits, std::uint32_t ancestor) {
    return isDescendantOf(traits.type, ancestor);
}

std::uint32_t rootType(std::uint32_t id) {
    const file_type_record_t* record = &findType(id);
    for (std::size_t depth = 0; record->parent != 0 && depth < g_file_types.size(); ++depth) {
        record = &findType(record->parent);
    }
    return record->id;
}

bool isTypeInCategory(std::uint32_t id, std::int32_t category) {
    for (const auto& entry : g_type_categories) {
        if (entry.number == category) return contains(entry.members, id) || contains(entry.members, rootType(id));
    }
    return false;
}

detector_t detectorForType(std::uint32_t id) {
    const file_type_record_t* record = &findType(id);
    for (std::size_t depth = 0; depth <= g_file_types.size(); ++depth) {
        if (record->detector != nullptr || record->parent == 0) return record->detector;
        record = &findType(record->parent);
    }
    return nullptr;
}

std::vector<std::uint32_t> typeAndDescendants(std::uint32_t id) {
    std::vector<std::uint32_t> out;
    appendDescendants(id, out);
    return out;
}

}  // namespace platter::fileid
