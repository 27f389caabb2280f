#pragma once
// Terminal detection (fixed before main runs) and ANSI SGR colour through the
// console attached to a standard stream.

#include <array>
#include <cstdint>
#include <cstdio>
#include <iosfwd>
#include <streambuf>

namespace forge {

// One standard stream: whether it is a terminal, its stream buffer and its FILE.
struct terminal_stream_t {
    bool is_terminal;
    const std::streambuf* buffer;
    std::FILE* file;
};

// Rows: std::cin, std::cout, std::cerr, std::clog.
extern const std::array<terminal_stream_t, 4> g_terminal_streams;

// Output character modes.
inline constexpr std::uint32_t kModeUnicode = 1;
inline constexpr std::uint32_t kModeAscii = 2;

inline constexpr std::uint32_t kNoColor = 0xFFFF;

// Kinds of a text attribute (exact values, not a bit set).
enum text_attr_kind : std::uint32_t {
    kAttrForeground = 1,
    kAttrBackground = 2,
    kAttrReset = 4,
    kAttrForegroundBackground = 8,
    kAttrReverse = 16,
    kAttrNothing = 32,
    kAttrNormal = 64,
};

struct text_attr_t {
    std::uint32_t kind = kAttrNothing;
    std::uint32_t foreground = kNoColor;  // color index 0-15
    std::uint32_t background = kNoColor;
};

// Output state of one stream: the character mode and the colour switch. Every
// sequence needs colour on and the console attached. Copies are never attached
// to a row; a console unregisters itself from its rows when destroyed.
class Console {
public:
    Console() = default;
    Console(const Console& other) = default;  // copies every field, registers nothing
    Console& operator=(const Console& other) = default;
    ~Console();

    // Binds the console to the stream and registers it for every terminal row
    // of that stream's buffer; the mode becomes unicode unless it is ascii.
    void attach(std::ostream& stream);
    void attachStdout();

    Console& setMode(std::uint32_t mode);
    std::uint32_t mode() const { return mode_; }

    void setColor(bool on) { colorOn_ = on; }
    bool colorOn() const { return colorOn_; }
    bool isAttached() const { return attached_; }
    std::ostream* stream() const { return stream_; }
    // Colour on and attached: the condition of every sequence.
    bool writesColor() const { return colorOn_ && attached_; }

    bool supportsBrightColors() const { return false; }
    // The terminal's own colours are never queried: always false, nothing written.
    bool getColors(std::uint32_t& foreground, std::uint32_t& background) const;

    // These write to std::cout whatever stream the attribute was applied to.
    void reset() const;    // "\x1b[0;22m"
    void normal() const;   // "\x1b[0;22m"
    void reverse() const;  // "\x1b[0;7m"

    // "stdout is a terminal; ANSI capable:yes|no\n\n" or "stdout is redirected\n\n".
    void printDebugInfo(std::ostream& out) const;

private:
    void unregister();

    std::uint32_t mode_ = 0;
    bool colorOn_ = false;
    bool attached_ = false;
    std::ostream* stream_ = nullptr;
};

// Kept for the start-up order of main; there is nothing to initialise.
void initTerminal();

// Whether the stream's buffer is that of a standard stream that is a terminal.
bool isTerminal(const std::ios& stream);

// The console registered for the standard FILE behind the stream, or null.
Console* consoleFor(const std::ios& stream);

// SGR colour sequences for index 0-15, written to the stream when its console
// writes colour; an index above 15 (kNoColor) writes nothing.
void foreground(std::ostream& stream, std::uint32_t color);
void background(std::ostream& stream, std::uint32_t color);

std::ostream& applyAttributes(std::ostream& stream, const text_attr_t& attr);

}  // namespace forge
