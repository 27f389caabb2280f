#include "platter/selection/selection_node_parser.hpp"

#include <cstdint>
#include <optional>
#include <vector>

#include "forge/numbers.hpp"
#include "forge/strings.hpp"
#include "platter/petscii/token_escapes.hpp"

namespace platter {

namespace {

// Tracks, sectors and indices are 16-bit; a larger number is refused rather
// than cut to its low bits.
constexpr std::int64_t kMaxNumber = 0xFFFF;

std::optional<std::uint64_t> readNumber(std::string_view text) {
    if (!forge::isNumber(text, 0)) return std::nullopt;
    const std::int64_t value = forge::parseNumber(text);
    if (value < 0 || value > kMaxNumber) return std::nullopt;
    return static_cast<std::uint64_t>(value);
}

// Collects the one message of a failing parse: prefix + "'" + text + "'\n".
class Failure {
public:
    explicit Failure(std::string& message) : message_(message) {}
    bool operator()(std::string_view prefix, std::string_view quoted) const {
        message_.assign(prefix);
        message_.append("'").append(quoted).append("'\n");
        return false;
    }

private:
    std::string& message_;
};

bool parseChain(file_selector& node, std::string_view rest, const Failure& fail) {
    const std::vector<std::string> fields = forge::split(rest, '.', true);
    if (fields.size() != 2)
        return fail("error: chain notation ('%%') requires a starting track and sector pair; found: ", node.text);
    if (fields[0].empty()) return fail("error: selection missing a track number: ", node.text);
    if (fields[1].empty()) return fail("error: selection missing a sector number: ", node.text);
    const auto track = readNumber(fields[0]);
    if (!track) return fail("error: invalid track number: ", node.text);
    const auto sector = readNumber(fields[1]);
    if (!sector) return fail("error: invalid sector number: ", node.text);
    node.first = *track;
    node.second = *sector;
    return true;
}

// "T.S" appends that block, "S" a sector on the track of the block before it.
bool parseBlockList(file_selector& node, const std::vector<std::string>& fields, const Failure& fail) {
    for (const std::string& field : fields) {
        const std::vector<std::string> parts = forge::split(field, '.', true);
        if (parts.size() == 2) {
            if (parts[0].empty()) return fail("error: selection missing a track number: ", field);
            if (parts[1].empty()) return fail("error: selection missing a sector number: ", field);
            const auto track = readNumber(parts[0]);
            if (!track) return fail("error: invalid track number: ", field);
            const auto sector = readNumber(parts[1]);
            if (!sector) return fail("error: invalid sector number: ", field);
            node.blocks.push_back(makeBlock(*track, *sector));
        } else if (parts.size() == 1) {
            if (node.blocks.empty())
                return fail("error: the first entry of a chain list must be a starting track and sector pair; found: ",
                            field);
            const auto sector = readNumber(field);
            if (!sector) return fail("error: invalid sector number: ", field);
            node.blocks.push_back(makeBlock(node.blocks.back().track, *sector));
        } else {
            return fail("error: unexpected characters found in selection: ", node.text);
        }
    }
    node.first = node.blocks.back().track;
    node.second = node.blocks.back().sector;
    return true;
}

// After the "%": "%T", "%T.S[,S|,T.S...]", "%%T.S", each optionally "~" first.
bool parseTrackOrBlocks(file_selector& node, std::string_view rest, const Failure& fail) {
    const bool chain = !rest.empty() && rest.front() == '%';
    if (chain) rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '~') {
        node.wholeBlocks = false;
        rest.remove_prefix(1);
    }
    if (chain) {
        node.kind = SelectorKind::BlockChain;
        return parseChain(node, rest, fail);
    }
    const std::vector<std::string> fields = forge::split(rest, ',', false);
    if (fields.empty()) return fail("error: selection missing a track number: ", node.text);
    if (fields.size() == 1 && rest.find('.') == std::string_view::npos) {
        node.kind = SelectorKind::TrackData;
        const auto track = readNumber(rest);
        if (!track) return fail("error: invalid track number: ", node.text);
        node.first = *track;
        node.second = 0;
        return true;
    }
    node.kind = SelectorKind::BlockData;
    return parseBlockList(node, fields, fail);
}

// "#N[-M][,...]"; messages quote the working text.
bool parseIndices(file_selector& node, std::string_view work, const Failure& fail) {
    const std::vector<std::string> items = forge::split(work.substr(1), ',', false);
    if (items.empty()) return fail("error: selection missing an index number: ", work);
    for (const std::string& item : items) {
        const std::vector<std::string> parts = forge::split(item, '-', false);
        if (parts.empty()) return fail("error: selection missing an index number: ", work);
        if (parts.size() > 2) return fail("error: unexpected characters found in selection: ", work);
        const auto from = readNumber(parts[0]);
        if (!from) return fail("error: invalid index number: ", work);
        node.kind = SelectorKind::ByIndex;
        node.first = node.second = *from;
        if (parts.size() == 2) {
            const auto to = readNumber(parts[1]);
            if (!to) return fail("error: invalid ending index number: ", work);
            if (*from > *to) return fail("error: index range makes no sense: ", work);
            node.kind = SelectorKind::ByIndexRange;
            node.second = *to;
        }
        for (std::uint64_t index = node.first; index <= node.second; ++index) node.indices.insert(index);
    }
    return true;
}

bool parsePattern(file_selector& node, std::string_view work, const Failure& fail) {
    std::vector<std::uint8_t> petscii;
    if (!escapedTextToPetscii(work, petscii, Charset::upperGraphics, false)) return fail("error: while parsing ", work);
    node.kind = SelectorKind::ByFilename;
    node.name.assign(petscii.begin(), petscii.end());
    return true;
}

bool parseNode(file_selector& node, std::string_view selectionText, std::string& message) {
    const Failure fail(message);
    if (node.text.empty()) return fail("error: empty entry found in selection list ", selectionText);

    std::string_view work = node.text;
    if (node.nested) work.remove_suffix(1);
    if (!work.empty() && work.front() == '^') {
        if (work.size() == 1) return fail("error: empty negation selector found in selection list ", work);
        work.remove_prefix(1);
        node.negated = true;
    }
    if (!work.empty() && work.front() == '$') {
        std::string_view rest = work.substr(1);
        if (!rest.empty() && rest.front() == '~') {
            node.wholeBlocks = false;
            rest.remove_prefix(1);
        }
        if (!rest.empty()) return fail("error: unexpected characters found after directory selection: ", node.text);
        node.kind = SelectorKind::DirectoryChain;
        return true;
    }
    if (!work.empty() && work.front() == '%') return parseTrackOrBlocks(node, work.substr(1), fail);
    if (!work.empty() && work.front() == '#') return parseIndices(node, work, fail);
    return parsePattern(node, work, fail);
}

}  // namespace

bool parseSelector(file_selector& node, std::string_view selectionText, std::string& message) {
    if (!parseNode(node, selectionText, message)) return false;
    // Negation takes entries out of a selection; blocks, tracks and chains have no such set.
    const bool entries = node.kind == SelectorKind::ByFilename || node.kind == SelectorKind::ByIndex ||
                         node.kind == SelectorKind::ByIndexRange;
    if (node.negated && !entries) return Failure(message)("error: only entries can be negated: ", node.text);
    return true;
}

}  // namespace platter
