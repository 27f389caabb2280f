#include "platter/petscii/converter.hpp"

#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

Converter::Converter(PetsciiWriter* sink) { attach(sink); }

Converter::~Converter() {
    if (sink_) sink_->release(*this);
}

void Converter::attach(PetsciiWriter* sink) {
    if (sink) {
        sink->link(*this);
    } else if (sink_) {
        sink_->release(*this);
    }
}

std::uint16_t Converter::translate(std::uint8_t& c) { return c; }

void Converter::put(std::uint16_t code) { sink().appendByte(static_cast<std::uint8_t>(code)); }

void Converter::setAttributes(std::uint64_t first, std::uint64_t /*second*/, bool /*forced*/) {
    if (sink().foregroundChanged()) sink().appendByte(g_petscii_colour_codes[first & 15]);
    putReverseChange();
}

void Converter::putReverseChange() {
    if (sink().reverseChanged()) sink().appendByte(sink().isReversed() ? kPetsciiReverseOn : kPetsciiReverseOff);
}

void Converter::writeHeader(std::string_view, std::string_view, std::uint32_t, bool) {}

void Converter::writeFooter() {}

void Converter::beginLine(std::uint8_t) {}

bool Converter::newline(std::uint8_t) { return false; }

void Converter::writeTitle(std::string_view, bool) {}

void Converter::endText(bool) { sink().appendByte(kPetsciiReturn); }

}  // namespace platter
