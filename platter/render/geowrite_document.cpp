#include "platter/render/geowrite_document.hpp"

#include <algorithm>

namespace platter {

void GeoWriteDocument::setVersion(std::uint8_t major, std::uint8_t minor) {
    major_ = major;
    minor_ = minor;
}

void GeoWriteDocument::setSettings(std::span<const std::uint8_t, 9> settings) {
    settings_.emplace();
    std::copy(settings.begin(), settings.end(), settings_->begin());
}

void GeoWriteDocument::setPage(std::uint64_t page) {
    current_ = page;
    pages_.try_emplace(page);
}

void GeoWriteDocument::addItem(geowrite_kind kind, std::uint64_t index) {
    pages_[current_].push_back(geowrite_item_t{kind, index});
}

void GeoWriteDocument::addText(std::string text) {
    texts_.push_back(std::move(text));
    addItem(geowrite_kind::text, texts_.size() - 1);
}

void GeoWriteDocument::addRuler(const geowrite_ruler_t& ruler) {
    rulers_.push_back(ruler);
    addItem(geowrite_kind::ruler, rulers_.size() - 1);
}

void GeoWriteDocument::addFont(std::uint32_t font) {
    fonts_.push_back(font);
    addItem(geowrite_kind::font, fonts_.size() - 1);
}

void GeoWriteDocument::addBitmap(std::uint32_t picture) {
    pictures_.push_back(picture);
    addItem(geowrite_kind::picture, pictures_.size() - 1);
}

void GeoWriteDocument::addPageBreak() { addItem(geowrite_kind::page_break, 0); }

void GeoWriteDocument::addEndOfText() { addItem(geowrite_kind::end_of_text, 0); }

const geowrite_items_t* GeoWriteDocument::page(std::uint64_t number) const {
    const auto found = pages_.find(number);
    return found == pages_.end() ? nullptr : &found->second;
}

const geowrite_ruler_t* GeoWriteDocument::ruler(std::uint64_t index) const {
    return index < rulers_.size() ? &rulers_[index] : nullptr;
}

std::uint16_t GeoWriteDocument::firstPageNumber() const {
    if (major_ != 2 || !settings_) return 1;
    return static_cast<std::uint16_t>((*settings_)[0] | (*settings_)[1] << 8);
}

std::uint16_t GeoWriteDocument::tabStop(std::uint8_t index) const {
    if (major_ != 1 || rulers_.empty()) return 0;
    return rulers_.front().tabStop(index);
}

}  // namespace platter
