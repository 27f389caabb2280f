#pragma once

#include "platter/petscii/converter.hpp"

namespace platter {

// 8-bit host text through petsciiToText; lines end in CR.
class AsciiConverter final : public Converter {
public:
    using Converter::Converter;
    std::uint16_t translate(std::uint8_t& c) override;
    void setAttributes(std::uint64_t, std::uint64_t, bool) override {}
    bool newline(std::uint8_t c) override;
};

// UTF-16LE text from the PETSCII-to-Unicode tables; lines end in CR LF.
class UnicodeConverter final : public Converter {
public:
    using Converter::Converter;
    std::uint16_t translate(std::uint8_t& c) override;
    void put(std::uint16_t code) override;
    // A two-byte stream has no room for single PETSCII colour codes.
    void setAttributes(std::uint64_t, std::uint64_t, bool) override {}
    bool newline(std::uint8_t c) override;
};

// Code points of the embedded font as UTF-16LE: the glyph the writer draws.
// A change of reverse is marked by 00 12 (on) or 00 92 (off) before a code.
class EliteConverter final : public Converter {
public:
    using Converter::Converter;
    std::uint16_t translate(std::uint8_t& c) override;
    void put(std::uint16_t code) override;
    void setAttributes(std::uint64_t, std::uint64_t, bool) override {}
};

// PETSCII with reverse codes and no colour codes: the content of a SEQ file.
class SEQConverter final : public Converter {
public:
    using Converter::Converter;
    void setAttributes(std::uint64_t first, std::uint64_t second, bool forced) override;
    bool newline(std::uint8_t c) override;
};

}  // namespace platter
