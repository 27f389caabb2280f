#pragma once

#include <cstdint>
#include <string_view>

namespace platter {

class PetsciiWriter;

// An output stage of a PetsciiWriter. The writer hands each character and
// colour change to the head of its chain; the head appends the bytes of its
// format to the writer's output. The base passes PETSCII through and emits
// the PETSCII colour and reverse codes.
//
// A converter built on a writer becomes its head until it is destroyed, which
// puts the previous head back; converters therefore nest on their writer.
class Converter {
public:
    Converter() = default;
    explicit Converter(PetsciiWriter* sink);
    virtual ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Links the converter as the sink's head; a null sink unlinks it.
    void attach(PetsciiWriter* sink);

    // The output code of a character; a converter may also change the
    // character the writer goes on with.
    virtual std::uint16_t translate(std::uint8_t& c);
    virtual void put(std::uint16_t code);
    // The writer's colour indices (swapped while reverse is on) after a
    // colour or reverse change; `forced` only closes what is open.
    virtual void setAttributes(std::uint64_t first, std::uint64_t second, bool forced);
    virtual void writeHeader(std::string_view generator, std::string_view title, std::uint32_t colourClasses,
                             bool withoutDiskNameRules);
    virtual void writeFooter();
    virtual void beginLine(std::uint8_t first);
    // True when the converter ended the line itself.
    virtual bool newline(std::uint8_t c);
    virtual void writeTitle(std::string_view title, bool suppress);
    virtual void endText(bool streamWasOpen);

    // The writer the converter writes into (only while it has one).
    PetsciiWriter& sink() const { return *sink_; }

protected:
    // RVS ON or RVS OFF when the writer's reverse state changed.
    void putReverseChange();

private:
    friend class PetsciiWriter;

    PetsciiWriter* sink_ = nullptr;
    Converter* next_ = nullptr;  // the head before this one
};

}  // namespace platter
