#include "platter/petscii/petscii_screen.hpp"

#include <algorithm>

#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/glyph_code_points.hpp"
#include "platter/petscii/screen_codes.hpp"

namespace platter {

namespace {

constexpr std::uint16_t kLowerSetBit = 0x100;

}  // namespace

PetsciiScreen::PetsciiScreen(std::size_t columns, std::size_t rows, std::uint8_t textColour, bool wholeScreen)
    : wholeScreen_(wholeScreen), columns_(columns), screenRows_(rows), colour_(textColour) {
    clear();
}

PetsciiScreen& PetsciiScreen::setData(std::span<const std::uint8_t> bytes) {
    clear();
    data_.assign(bytes.begin(), bytes.end());
    position_ = 0;
    return *this;
}

PetsciiScreen& PetsciiScreen::setCharset(Charset mode) {
    charset_ = mode;
    return *this;
}

PetsciiScreen& PetsciiScreen::setColour(std::uint8_t index) {
    colour_ = index;
    return *this;
}

PetsciiScreen& PetsciiScreen::interpret() {
    for (; position_ < data_.size(); ++position_) put(data_[position_]);
    if (wholeScreen_) keepLastWindow();
    return *this;
}

PetsciiScreen& PetsciiScreen::toggleCharset() {
    for (std::size_t row = top_; row < rows_.size(); ++row) {
        for (auto& cell : rows_[row].cells) {
            if (cell.glyph != 0) cell.glyph ^= kLowerSetBit;
        }
    }
    charset_ = charset_ == Charset::upperGraphics ? Charset::lowerUpper : Charset::upperGraphics;
    return *this;
}

petscii_cell_t& PetsciiScreen::cellAt(std::size_t row, std::size_t column) {
    auto& cells = rowAt(row).cells;
    if (cells.size() <= column) cells.resize(column + 1);
    return cells[column];
}

petscii_row_t& PetsciiScreen::rowAt(std::size_t index) {
    if (rows_.size() <= index) rows_.resize(index + 1);
    return rows_[index];
}

void PetsciiScreen::clear() { rows_.clear(); }

std::size_t PetsciiScreen::maxRowLength() const {
    std::size_t longest = 0;
    for (const auto& row : rows_) longest = std::max(longest, row.cells.size());
    return longest;
}

std::size_t PetsciiScreen::skippedRowCount() const {
    return static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const petscii_row_t& row) { return row.skip != 0; }));
}

void PetsciiScreen::put(std::uint8_t c) {
    if (isColourCode(c)) {
        colour_ = static_cast<std::uint8_t>(petsciiToColour(c));
        return;
    }
    switch (c) {
        case 13:
        case 141:
            newLine();
            cursorColumn_ = 0;
            reverse_ = false;
            return;
        case 14:
            if (wholeScreen_) markWrittenCells(kLowerSetBit, 0);
            charset_ = Charset::lowerUpper;
            return;
        case 142:
            if (wholeScreen_) markWrittenCells(0, kLowerSetBit | 0x400 | 0x800);
            charset_ = Charset::upperGraphics;
            return;
        case 17: newLine(); return;
        case 145:
            if (cursorRow_ > top_) --cursorRow_;
            return;
        case 29: advance(); return;
        case 157:
            if (cursorColumn_ > 0) {
                --cursorColumn_;
            } else {
                cursorColumn_ = kColumns - 1;
                if (cursorRow_ > top_) --cursorRow_;
            }
            return;
        case 18: reverse_ = true; return;
        case 146: reverse_ = false; return;
        case 19:
            cursorColumn_ = 0;
            cursorRow_ = top_;
            return;
        case 20: deleteCharacter(); return;
        case 147: clearScreen(); return;
        case 148: insertCell(); return;
        default: break;
    }
    std::uint8_t screenCode = 0;
    if (!petsciiToScreenCode(c, screenCode, reverse_)) return;
    cellAt(cursorRow_, cursorColumn_) = {glyphCodePoint(c, charset_, reverse_), colour_};
    advance();
}

void PetsciiScreen::newLine() {
    if (cursorRow_ - top_ == kWindowRows - 1) ++top_;
    ++cursorRow_;
}

void PetsciiScreen::advance() {
    if (++cursorColumn_ == kColumns) {
        newLine();
        cursorColumn_ = 0;
    }
}

void PetsciiScreen::deleteCharacter() {
    if (cursorColumn_ > 0) {
        --cursorColumn_;
    } else if (cursorRow_ > top_) {
        --cursorRow_;
        cursorColumn_ = kColumns - 1;
    } else {
        return;
    }
    // Rows are only as long as their rightmost touched cell: there may be
    // nothing to remove at the cursor.
    if (cursorRow_ >= rows_.size()) return;
    auto& cells = rows_[cursorRow_].cells;
    if (cursorColumn_ < cells.size()) cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(cursorColumn_));
}

void PetsciiScreen::clearScreen() {
    cursorColumn_ = 0;
    if (wholeScreen_) {
        // Rows scrolled above a single screen go too: left standing, the final
        // trim to the last 25 rows would cut away what is printed after the clear.
        if (rows_.size() > kWindowRows) rows_.resize(kWindowRows);
        for (auto& row : rows_) row.cells.clear();
        top_ = 0;
        cursorRow_ = 0;
        return;
    }
    // The marker row goes after the last row holding a cell, or first when none does.
    std::size_t marker = rows_.size();
    while (marker > 0 && rows_[marker - 1].cells.empty()) --marker;
    rowAt(marker).skip = 1;
    top_ = marker + 1;
    cursorRow_ = top_;
}

void PetsciiScreen::insertCell() {
    auto& cells = rowAt(cursorRow_).cells;
    if (cells.size() < cursorColumn_) cells.resize(cursorColumn_);
    cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(cursorColumn_), petscii_cell_t{});
    if (cells.size() > kMaxRowCells) cells.resize(kMaxRowCells);
}

void PetsciiScreen::markWrittenCells(std::uint16_t set, std::uint16_t clearMask) {
    for (auto& row : rows_) {
        for (auto& cell : row.cells) {
            if (cell.glyph == 0) continue;
            cell.glyph = static_cast<std::uint16_t>((cell.glyph | set) & ~clearMask);
        }
    }
}

void PetsciiScreen::keepLastWindow() {
    if (rows_.size() <= kWindowRows) return;
    rows_.erase(rows_.begin(), rows_.end() - static_cast<std::ptrdiff_t>(kWindowRows));
    top_ = 0;
    cursorRow_ = kWindowRows - 1;
}

}  // namespace platter
