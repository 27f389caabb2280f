#include "platter/selection/cbm_selection.hpp"

#include <algorithm>
#include <deque>
#include <ostream>

#include "platter/selection/selection_node_parser.hpp"

namespace platter {

CbmSelection::CbmSelection() = default;
CbmSelection::~CbmSelection() = default;
CbmSelection::CbmSelection(CbmSelection&&) noexcept = default;
CbmSelection& CbmSelection::operator=(CbmSelection&&) noexcept = default;

CbmSelection& CbmSelection::refuseKind(SelectorKind kind) {
    if (std::find(refused_.begin(), refused_.end(), kind) == refused_.end()) refused_.push_back(kind);
    return *this;
}

CbmSelection& CbmSelection::setNestingDisabled(bool disabled) {
    nestingDisabled_ = disabled;
    return *this;
}

void CbmSelection::clear() {
    text_.assign(1, '*');  // not `= "*"`: GCC 12 warns falsely (-Wrestrict) on that
    valid_ = false;
    parsed_ = false;
    resetFrames();
    root_.clear();
}

bool CbmSelection::parseSelection(std::string_view text) {
    clear();
    text_ = std::string(text);
    bool ok = splitSelection();
    if (ok) ok = walkPreorder([this](const file_selector& node) { return checkSelector(node); });
    valid_ = ok;
    parsed_ = ok;
    return ok;
}

bool CbmSelection::fail(std::string message) {
    note(std::move(message));
    return false;
}

void CbmSelection::note(std::string message, bool quietable) {
    messages_.push_back(std::move(message));
    quietable_.push_back(quietable);
}

bool CbmSelection::appendNode(node_list& list, std::string_view entry, bool nested) {
    file_selector node;
    node.text = std::string(entry);
    node.nested = nested;
    std::string message;
    const bool ok = parseSelector(node, text_, message);
    list.push_back(std::move(node));  // a failed node stays in the tree built so far
    return ok || fail(std::move(message));
}

bool CbmSelection::splitSelection() {
    const std::string_view text = text_;
    const std::size_t n = text.size();
    node_list* list = &root_;
    // Lists of the enclosing levels. Only the innermost list grows while a
    // level is open, so the pointers to the outer ones stay valid.
    std::vector<node_list*> enclosing;
    bool inBraces = false;
    std::size_t start = 0;

    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '{') {
            if (inBraces) return fail("error: cannot nest open braces\n");
            inBraces = true;
            continue;
        }
        if (c == '}') {
            if (!inBraces) return fail("error: close brace found without paired open brace\n");
            inBraces = false;
            continue;
        }
        if (inBraces) continue;
        if (c == ';') {
            if (!appendNode(*list, text.substr(start, i - start), false)) return false;
            start = i + 1;
            continue;
        }
        if (c != ':') continue;

        if (nestingDisabled_) return fail("error: deep selection is disabled in this context\n");
        const bool opensLevel = i + 1 < n && text[i + 1] != ':' && text[i + 1] != ';';
        if (opensLevel) {
            if (enclosing.size() == kMaxParseDepth) return fail("error: selection nested too deeply\n");
            if (!appendNode(*list, text.substr(start, i + 1 - start), true)) return false;
            enclosing.push_back(list);
            list = &list->back().children;
            start = i + 1;
            continue;
        }
        if (i > start && !appendNode(*list, text.substr(start, i - start), false)) return false;
        if (i + 1 == n) {
            note("warning: trailing colon ignored.\n");
            return true;
        }
        // Each colon of the run closes one level; the run ends in ";".
        for (; i < n && text[i] == ':'; ++i) {
            if (enclosing.empty()) return fail("error: terminating colon found without nested selection.\n");
            list = enclosing.back();
            enclosing.pop_back();
        }
        if (i == n || text[i] != ';') return fail("error: missing semicolon after terminating colon.\n");
        start = i + 1;
    }
    if (start < n) return appendNode(*list, text.substr(start), false);
    return true;
}

bool CbmSelection::checkSelector(const file_selector& node) {
    const std::string kindName(selectorKindName(node.kind));
    if (node.nested && node.kind != SelectorKind::ByFilename && node.kind != SelectorKind::ByIndex)
        return fail("error: selecting " + kindName + " does not support nesting\n");
    if (std::find(refused_.begin(), refused_.end(), node.kind) != refused_.end())
        return fail("error: selecting " + kindName + " not supported in this context\n");
    return true;
}

namespace {

// List is a node_list or a const one.
template <typename List, typename Fn>
bool walkNodes(List& list, const Fn& fn) {
    for (auto& node : list) {
        if (!fn(node)) return false;
        if (node.nested && !walkNodes(node.children, fn)) return false;
    }
    return true;
}

}  // namespace

bool CbmSelection::walkPreorder(const std::function<bool(file_selector&)>& fn) { return walkNodes(root_, fn); }

bool CbmSelection::walkPreorder(const std::function<bool(const file_selector&)>& fn) const {
    return walkNodes(root_, fn);
}

bool CbmSelection::walkLists(const std::function<bool(const node_list&)>& fn) {
    std::deque<const node_list*> pending{&root_};
    bool ok = true;
    while (ok && !pending.empty()) {
        current_ = pending.front();
        pending.pop_front();
        for (const auto& node : *current_)
            if (node.nested) pending.push_back(&node.children);
        ok = fn(*current_);
    }
    current_ = nullptr;
    return ok;
}

void CbmSelection::prettyprintPreorder(std::ostream& out) const {
    out << "\n";
    walkPreorder([&out](const file_selector& node) {
        out << " > " << node.text << "  [" << node.frame << "]\n";
        return true;
    });
}

}  // namespace platter
