#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platter/petscii/charset.hpp"

namespace platter {

// One character cell: the font code point as printed (0 = never written)
// and the colour index at the time.
struct petscii_cell_t {
    std::uint16_t glyph = 0;
    std::uint8_t colour = 0;

    friend bool operator==(const petscii_cell_t&, const petscii_cell_t&) = default;
};

// One screen row; cells only up to the rightmost one touched. The skip flag
// marks the row a screen clear leaves behind (it holds no cells).
struct petscii_row_t {
    std::uint8_t skip = 0;
    std::vector<petscii_cell_t> cells;
};

// A PETSCII byte stream printed the way the screen editor would print it,
// 40 columns wide, rows growing downwards (or one 25-row screen with the
// whole-screen flag).
class PetsciiScreen {
public:
    static constexpr std::size_t kColumns = 40;
    static constexpr std::size_t kWindowRows = 25;
    // INST grows a row at most to a logical line of two screen rows; cells pushed
    // past it are dropped (every renderer shows only the first 40).
    static constexpr std::size_t kMaxRowCells = 2 * kColumns;

    PetsciiScreen(std::size_t columns, std::size_t rows, std::uint8_t textColour, bool wholeScreen);

    // Clears the screen and keeps a copy of the bytes; interpreting starts at 0.
    PetsciiScreen& setData(std::span<const std::uint8_t> bytes);
    PetsciiScreen& setCharset(Charset mode);
    PetsciiScreen& setColour(std::uint8_t index);
    // Runs every byte from the position to the end of the data.
    PetsciiScreen& interpret();
    // Flips the lower/upper-case bit of every written cell from the window's
    // top on, and the charset.
    PetsciiScreen& toggleCharset();

    // The cell, creating the row and extending it as needed.
    petscii_cell_t& cellAt(std::size_t row, std::size_t column);
    // The row, appending empty rows as needed.
    petscii_row_t& rowAt(std::size_t index);
    void clear();

    const std::vector<petscii_row_t>& rows() const { return rows_; }
    std::vector<petscii_row_t>::const_iterator begin() const { return rows_.begin(); }
    std::vector<petscii_row_t>::const_iterator end() const { return rows_.end(); }
    std::size_t rowCount() const { return rows_.size(); }
    std::size_t maxRowLength() const;
    std::size_t skippedRowCount() const;

    std::size_t columns() const { return columns_; }
    std::size_t screenRows() const { return screenRows_; }
    std::size_t cursorRow() const { return cursorRow_; }
    std::size_t cursorColumn() const { return cursorColumn_; }
    std::size_t top() const { return top_; }
    Charset charset() const { return charset_; }
    std::uint8_t colour() const { return colour_; }
    bool reverse() const { return reverse_; }

private:
    void put(std::uint8_t c);
    void newLine();
    void advance();
    void deleteCharacter();
    void clearScreen();
    void insertCell();
    void markWrittenCells(std::uint16_t set, std::uint16_t clearMask);
    void keepLastWindow();

    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
    std::vector<petscii_row_t> rows_;
    bool wholeScreen_ = false;
    std::size_t columns_ = 0;
    std::size_t screenRows_ = 0;
    std::size_t top_ = 0;
    std::size_t cursorRow_ = 0;
    std::size_t cursorColumn_ = 0;
    std::uint8_t colour_ = 0;
    bool reverse_ = false;
    Charset charset_ = Charset::upperGraphics;
};

}  // namespace platter
