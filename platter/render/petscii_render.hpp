#pragma once
// The base of every renderer that turns a PETSCII text screen into a document:
// settings, document and section framing, the output stream, and the one
// render loop that walks rows and cells and calls the hooks below.
//
// Calling order: construct, setters, begin, renderSection once per screen,
// end, then str.

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>

#include "platter/petscii/petscii_screen.hpp"

namespace platter {

class PetsciiRender {
public:
    // Colour index of "no colour seen yet".
    static constexpr std::uint8_t kNoColour = 0xFF;

    PetsciiRender() = default;
    virtual ~PetsciiRender() = default;
    PetsciiRender(const PetsciiRender&) = delete;
    PetsciiRender& operator=(const PetsciiRender&) = delete;

    // Clears the colour state, picks the output stream, writes the header
    // (document flag) and opens the body (body flag).
    virtual PetsciiRender& begin();
    // Closes the body (body flag) and writes the footer (document flag).
    PetsciiRender& end();
    // One screen, framed by beginSection/endSection when the section flag is set.
    PetsciiRender& renderSection(const PetsciiScreen& screen, const std::string& title);
    // Everything written to the internal stream so far.
    std::string str() const { return internal_.str(); }

    // Code 0 and the six spaces that are not reversed (0x20, 0xA0, 0xE0 of either set).
    virtual bool isBlank(std::uint16_t code);

    std::uint16_t cellWidth() const { return cellWidth_; }

    PetsciiRender& setAppName(std::string name);
    PetsciiRender& setTitle(std::string title);
    PetsciiRender& setCssFilename(std::string name);
    PetsciiRender& setDocument(bool on);
    PetsciiRender& setBody(bool on);
    PetsciiRender& setSections(bool on);
    PetsciiRender& setFontSize(std::uint16_t pixels);
    PetsciiRender& setBackground(std::uint8_t colour);
    PetsciiRender& setColumns(std::uint8_t count);
    // Output goes to this stream instead of the internal one; it must outlive the renderer.
    PetsciiRender& setStream(std::ostream& stream);

protected:
    virtual void writeHeader() {}
    virtual void beginBody() {}
    virtual void beginSection(const std::string& /*title*/) {}
    // The render loop; the binary and picture renderers replace it.
    virtual void render(const PetsciiScreen& screen);
    virtual bool resetsColourPerRow() const { return false; }
    virtual void rowStart() {}
    virtual void glyph(std::uint16_t /*code*/) {}
    virtual void blank() {}
    virtual void foreground(std::uint8_t /*colour*/) {}
    virtual void rowEnd() {}
    virtual void endSection(const std::string& /*title*/) {}
    virtual void endBody() {}
    virtual void writeFooter() {}

    // The glyph as one ASCII byte by the strict PETSCII conversion in the
    // glyph's character set; false for graphics and control characters.
    static bool glyphToAscii(std::uint16_t code, std::uint8_t& out);

    std::ostream& out() { return *out_; }
    // The row the loop is in; null outside the loop.
    const petscii_row_t* currentRow() const { return currentRow_; }

    const std::string& appName() const { return appName_; }
    const std::string& title() const { return title_; }
    const std::string& cssFilename() const { return cssFilename_; }
    bool sectionsOn() const { return sections_; }
    void forceSections() { sections_ = true; }
    std::uint16_t fontSize() const { return fontSize_; }
    void setCellWidth(std::uint16_t pixels) { cellWidth_ = pixels; }
    std::uint8_t backgroundColour() const { return background_; }
    std::uint8_t columns() const { return columns_; }

private:
    void resetColourState();

    std::string appName_;
    std::string title_;
    std::string cssFilename_;
    bool document_ = false;
    bool body_ = false;
    bool sections_ = false;
    std::uint16_t fontSize_ = 16;
    std::uint16_t cellWidth_ = 16;
    std::uint8_t background_ = 0;
    std::uint8_t columns_ = 0;
    bool colourPending_ = false;
    std::uint8_t currentColour_ = kNoColour;
    const petscii_row_t* currentRow_ = nullptr;
    std::ostream* stream_ = nullptr;  // set by setStream
    std::ostream* out_ = &internal_;  // the stream in use; chosen again by begin
    std::ostringstream internal_;
};

}  // namespace platter
