// The operators of the sweep: each finds its sites in the intact image and gives the damaged
// copies it makes there.

#include <algorithm>
#include <set>

#include "tests/platter/open/damage_sweep_sites.hpp"

namespace damage_sweep {

namespace {

Bytes le(std::uint64_t value, std::size_t width) {
    Bytes out(width);
    for (std::size_t i = 0; i < width; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return out;
}

Bytes be(std::uint64_t value, std::size_t width) {
    Bytes out = le(value, width);
    std::reverse(out.begin(), out.end());
    return out;
}

std::uint64_t readLe(const Bytes& bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes.at(at + i);
    return value;
}

std::uint64_t readBe(const Bytes& bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes.at(at + i);
    return value;
}

using labelled_t = std::vector<std::pair<std::string, std::uint64_t>>;

// A field one lower, one higher, 0 and its maximum (and any `extra`), each value once and
// none the field holds.
labelled_t fieldValues(std::uint64_t value, std::uint64_t max, const labelled_t& extra = {}) {
    labelled_t out;
    const auto add = [&](const std::string& label, std::uint64_t v) {
        if (v == value || v > max) return;
        for (const auto& taken : out)
            if (taken.second == v) return;
        out.emplace_back(label, v);
    };
    if (value > 0) add("one lower", value - 1);
    if (value < max) add("one higher", value + 1);
    add("0", 0);
    add("at its maximum", max);
    for (const auto& [label, v] : extra) add(label, v);
    return out;
}

damage_t patched(std::string op, std::string where, std::size_t at, Bytes bytes) {
    damage_t damage;
    damage.op = std::move(op);
    damage.where = std::move(where);
    damage.patches.push_back({at, std::move(bytes)});
    return damage;
}

damage_t edited(std::string op, std::string where, std::function<void(Bytes&)> edit) {
    damage_t damage;
    damage.op = std::move(op);
    damage.where = std::move(where);
    damage.edit = std::move(edit);
    return damage;
}

}  // namespace

operator_t cuts(std::vector<std::size_t> sizes) {
    return [sizes](intact_t& intact) {
        const std::size_t size = intact.bytes.size();
        std::set<std::size_t> own{size - 1, size / 2, size / 4, 256, 32};
        if (size > 256) own.insert(size - 256);
        std::vector<damage_t> out;
        const auto cutTo = [&](const std::string& op, std::size_t to) {
            if (to == 0 || to >= size) return;
            damage_t damage = edited(op, std::to_string(to) + " bytes", [to](Bytes& bytes) { bytes.resize(to); });
            damage.cut = true;
            out.push_back(std::move(damage));
        };
        for (std::size_t to : sizes) cutTo("cut to a smaller kind's size", to);
        for (std::size_t to : own) cutTo("cut", to);
        return out;
    };
}

std::vector<damage_t> chainLinks(intact_t& intact) {
    std::vector<damage_t> out;
    for (const link_site_t& site : sitesOf(intact).links) {
        for (const auto& [target, block] : site.targets) {
            out.push_back(patched(site.chain + " link " + target, site.where + " -> " + blockText(block), site.at,
                                  Bytes{static_cast<std::uint8_t>(block.track), static_cast<std::uint8_t>(block.sector)}));
        }
    }
    return out;
}

std::vector<damage_t> lastBlockBytes(intact_t& intact) {
    std::vector<damage_t> out;
    for (const chain_end_t& end : sitesOf(intact).ends) {
        const std::uint8_t value = intact.bytes.at(end.at + 1);
        for (const auto& [label, v] : fieldValues(value, 255, {{"1", 1}})) {
            // 0 and 1 say no size, whichever way they were reached.
            const std::string name = v <= 1 ? std::to_string(v) : label;
            out.push_back(patched(end.chain + " last-block byte " + name, end.where + " = " + std::to_string(v),
                                  end.at + 1, Bytes{static_cast<std::uint8_t>(v)}));
        }
    }
    return out;
}

std::vector<damage_t> entryBlockCounts(intact_t& intact) {
    std::vector<damage_t> out;
    for (const entry_site_t& entry : sitesOf(intact).entries) {
        if (entry.role != entry_role::file) continue;
        for (const auto& [label, v] : fieldValues(readLe(intact.bytes, entry.at + 30, 2), 0xffff))
            out.push_back(patched(entry.prefix + "entry block count " + label, entry.where, entry.at + 30, le(v, 2)));
    }
    return out;
}

std::vector<damage_t> partitionSizes(intact_t& intact) {
    std::vector<damage_t> out;
    const labelled_t odd{{"of 1 block", 1}, {"of one track", 40}, {"of two tracks", 80},
                         {"of 119 blocks", 119}, {"of 121 blocks", 121}};
    for (const entry_site_t& entry : sitesOf(intact).entries) {
        if (entry.role != entry_role::partition) continue;
        for (const auto& [label, v] : fieldValues(readLe(intact.bytes, entry.at + 30, 2), 0xffff, odd))
            out.push_back(patched(entry.prefix + "partition size " + label, entry.where + " = " + std::to_string(v),
                                  entry.at + 30, le(v, 2)));
    }
    return out;
}

std::vector<damage_t> cmdTableFields(intact_t& intact) {
    std::vector<damage_t> out;
    for (const entry_site_t& entry : sitesOf(intact).entries) {
        if (entry.role != entry_role::tableEntry || intact.bytes.at(entry.at + 2) == 0xff) continue;
        for (const auto& [label, v] : fieldValues(readBe(intact.bytes, entry.at + 21, 3), 0xffffff))
            out.push_back(patched("partition table start " + label, entry.where + " = " + std::to_string(v),
                                  entry.at + 21, be(v, 3)));
        for (const auto& [label, v] : fieldValues(readBe(intact.bytes, entry.at + 30, 2), 0xffff))
            out.push_back(patched("partition table size " + label, entry.where + " = " + std::to_string(v),
                                  entry.at + 30, be(v, 2)));
    }
    return out;
}

std::vector<damage_t> errorBytes(intact_t& intact) {
    std::vector<damage_t> out;
    const std::size_t blocks = intact.disk->totalBlocks();
    if (intact.bytes.size() != blocks * platter::Disk::kBlockSize) return out;
    const auto table = [blocks](std::size_t index, std::uint8_t code) {
        return [blocks, index, code](Bytes& bytes) {
            bytes.resize(bytes.size() + blocks, 1);
            if (code != 1) bytes.at(bytes.size() - blocks + index) = code;
        };
    };
    out.push_back(edited("error table, every block good", "", table(0, 1)));
    // 20-24, 27 and 29 as the table stores them.
    const std::uint8_t codes[] = {2, 3, 4, 5, 6, 9, 11};
    std::set<std::string> seen;
    for (const block_site_t& site : sitesOf(intact).blocks) {
        // The first block of each role; every code on a directory block and a file's first.
        if (!seen.insert(site.role).second) continue;
        const bool everyCode = site.role == "a directory block" || site.role == "a file's first block";
        for (std::uint8_t code : codes) {
            if (!everyCode && code != 5) continue;
            damage_t damage = edited("error byte on " + site.role,
                                     "code " + std::to_string(code) + " on block " + std::to_string(site.index),
                                     table(site.index, code));
            damage.mustBeNamed = true;
            out.push_back(std::move(damage));
        }
    }
    return out;
}

std::vector<damage_t> t64Fields(intact_t& intact) {
    std::vector<damage_t> out;
    const Bytes& bytes = intact.bytes;
    if (bytes.size() < 0x40) return out;
    const std::uint64_t slots = readLe(bytes, 0x22, 2);
    for (const auto& [label, v] : fieldValues(slots, 0xffff))
        out.push_back(patched("tape directory size " + label, std::to_string(v), 0x22, le(v, 2)));
    for (const auto& [label, v] : fieldValues(readLe(bytes, 0x24, 2), 0xffff))
        out.push_back(patched("tape entry count " + label, std::to_string(v), 0x24, le(v, 2)));
    std::vector<std::size_t> used;
    for (std::size_t i = 0; i < slots && 0x40 + 32 * (i + 1) <= bytes.size(); ++i)
        if (bytes[0x40 + 32 * i] != 0) used.push_back(0x40 + 32 * i);
    for (std::size_t k = 0; k < used.size(); ++k) {
        const std::size_t at = used[k];
        const std::string where = "entry " + std::to_string(k);
        for (const auto& [label, v] : fieldValues(readLe(bytes, at + 2, 2), 0xffff))
            out.push_back(patched("tape start address " + label, where, at + 2, le(v, 2)));
        for (const auto& [label, v] : fieldValues(readLe(bytes, at + 4, 2), 0xffff))
            out.push_back(patched("tape end address " + label, where, at + 4, le(v, 2)));
        const labelled_t odd{{"inside the tape header", 10}, {"inside the directory", 0x40}};
        for (const auto& [label, v] : fieldValues(readLe(bytes, at + 8, 4), 0xffffffff, odd))
            out.push_back(patched("tape offset " + label, where, at + 8, le(v, 4)));
        if (k > 0) {
            const std::uint64_t before = readLe(bytes, used[k - 1] + 8, 4);
            out.push_back(patched("tape offset shared with the entry before", where, at + 8, le(before, 4)));
            out.push_back(patched("tape offset inside the entry before", where, at + 8, le(before + 2, 4)));
        }
    }
    return out;
}

namespace {

// The text fields of a Lynx directory: each number's digits, and where the text ends.
struct lynx_field_t {
    std::string name;
    std::size_t at = 0;
    std::size_t length = 0;
    std::uint64_t value = 0;
};

std::vector<lynx_field_t> lynxFieldsOf(const Bytes& bytes, std::size_t& textEnd) {
    std::vector<lynx_field_t> fields;
    const std::uint8_t stubEnd[] = {0, 0, 0, 0x0d};
    const auto found = std::search(bytes.begin(), bytes.end(), std::begin(stubEnd), std::end(stubEnd));
    if (found == bytes.end()) return fields;
    std::size_t at = static_cast<std::size_t>(found - bytes.begin()) + 4;
    std::vector<std::pair<std::size_t, std::size_t>> tokens;  // [start, end) of each line
    while (at < bytes.size() && bytes[at] != 0) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != 0x0d) ++end;
        if (end == bytes.size()) break;
        tokens.emplace_back(at, end);
        at = end + 1;
    }
    textEnd = at;
    const auto number = [&](std::size_t token, const std::string& name) {
        if (token >= tokens.size()) return;
        std::size_t digit = tokens[token].first;
        while (digit < tokens[token].second && (bytes[digit] < '0' || bytes[digit] > '9')) ++digit;
        std::size_t end = digit;
        std::uint64_t value = 0;
        while (end < tokens[token].second && bytes[end] >= '0' && bytes[end] <= '9') value = value * 10 + (bytes[end++] - '0');
        if (end > digit) fields.push_back({name, digit, end - digit, value});
    };
    number(0, "lynx directory block count");
    number(1, "lynx entry count");
    for (std::size_t token = 2; token + 3 < tokens.size(); token += 4) {
        number(token + 1, "lynx block count");
        number(token + 3, "lynx last-block byte");
    }
    return fields;
}

}  // namespace

std::vector<damage_t> lynxFields(intact_t& intact) {
    std::vector<damage_t> out;
    std::size_t textEnd = 0;
    const std::vector<lynx_field_t> fields = lynxFieldsOf(intact.bytes, textEnd);
    std::size_t entry = 0;
    for (const lynx_field_t& field : fields) {
        const std::uint64_t max = field.name == "lynx last-block byte" ? 255 : 999;
        const std::string where = field.name == "lynx block count" ? "entry " + std::to_string(entry) : "";
        if (field.name == "lynx last-block byte") ++entry;
        for (const auto& [label, v] : fieldValues(field.value, max)) {
            // The digits replaced, the directory's padding after its text taking up the difference.
            out.push_back(edited(field.name + " " + label, where + " = " + std::to_string(v),
                                 [field, v, textEnd](Bytes& bytes) {
                                     const std::string digits = std::to_string(v);
                                     bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(field.at),
                                                 bytes.begin() + static_cast<std::ptrdiff_t>(field.at + field.length));
                                     bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(field.at), digits.begin(),
                                                  digits.end());
                                     const std::ptrdiff_t end =
                                         static_cast<std::ptrdiff_t>(textEnd + digits.size() - field.length);
                                     if (digits.size() > field.length)
                                         bytes.erase(bytes.begin() + end, bytes.begin() + end +
                                                         static_cast<std::ptrdiff_t>(digits.size() - field.length));
                                     else
                                         bytes.insert(bytes.begin() + end, field.length - digits.size(), 0);
                                 }));
        }
    }
    return out;
}

std::vector<damage_t> appendedJunk(intact_t&) {
    std::vector<damage_t> out;
    for (std::size_t length : {1u, 1024u}) {
        out.push_back(edited("junk appended", std::to_string(length) + " bytes", [length](Bytes& bytes) {
            for (std::size_t i = 0; i < length; ++i) bytes.push_back(static_cast<std::uint8_t>(0x5a + i * 7));
        }));
    }
    return out;
}

}  // namespace damage_sweep
