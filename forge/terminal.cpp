#include "forge/terminal.hpp"

#include <iostream>
#include <unistd.h>

namespace forge {

namespace {

constexpr std::array<unsigned, 8> kAnsiColorOrder = {30, 34, 32, 36, 31, 35, 33, 37};

bool fileIsTerminal(std::FILE* file) { return ::isatty(::fileno(file)) != 0; }

// The console attached to each row of the terminal table.
std::array<Console*, 4> g_console_by_row{};

constexpr std::size_t kStdoutRow = 1;

// The standard FILE behind a stream's buffer, or null for any other stream.
std::FILE* standardFileOf(const std::ios& stream) {
    const std::streambuf* buffer = stream.rdbuf();
    if (buffer == nullptr) return nullptr;
    if (buffer == g_terminal_streams[kStdoutRow].buffer) return stdout;
    if (buffer == g_terminal_streams[2].buffer || buffer == g_terminal_streams[3].buffer) return stderr;
    return nullptr;
}

constexpr std::uint32_t kMaxColorIndex = 15;

// The console of the stream when it writes colour and the index is a colour.
const Console* colorConsoleFor(const std::ios& stream, std::uint32_t color) {
    const Console* console = consoleFor(stream);
    return console != nullptr && console->writesColor() && color <= kMaxColorIndex ? console : nullptr;
}

void writeSequence(const Console& console, std::string_view sequence) {
    if (console.writesColor()) std::cout << sequence;
}

}  // namespace

const std::array<terminal_stream_t, 4> g_terminal_streams = {{
    {fileIsTerminal(stdin), std::cin.rdbuf(), stdin},
    {fileIsTerminal(stdout), std::cout.rdbuf(), stdout},
    {fileIsTerminal(stderr), std::cerr.rdbuf(), stderr},
    {fileIsTerminal(stderr), std::clog.rdbuf(), stderr},
}};

Console::~Console() { unregister(); }

void Console::unregister() {
    for (Console*& registered : g_console_by_row) {
        if (registered == this) registered = nullptr;
    }
}

void Console::attach(std::ostream& stream) {
    stream_ = &stream;
    for (std::size_t row = 0; row < g_terminal_streams.size(); ++row) {
        if (g_terminal_streams[row].buffer == stream.rdbuf()) g_console_by_row[row] = this;
    }
    attached_ = true;
    mode_ = mode_ == kModeAscii ? kModeAscii : kModeUnicode;
}

void Console::attachStdout() { attach(std::cout); }

Console& Console::setMode(std::uint32_t mode) {
    mode_ = mode;
    return *this;
}

bool Console::getColors(std::uint32_t&, std::uint32_t&) const { return false; }

void Console::reset() const { writeSequence(*this, "\x1b[0;22m"); }

void Console::normal() const { writeSequence(*this, "\x1b[0;22m"); }

void Console::reverse() const { writeSequence(*this, "\x1b[0;7m"); }

void Console::printDebugInfo(std::ostream& out) const {
    out << "stdout ";
    if (!g_terminal_streams[kStdoutRow].is_terminal) {
        out << "is redirected\n\n";
        return;
    }
    out << "is a terminal; ANSI capable:" << (attached_ ? "yes" : "no") << "\n\n";
}

void initTerminal() {}

bool isTerminal(const std::ios& stream) {
    for (const terminal_stream_t& row : g_terminal_streams) {
        if (row.buffer == stream.rdbuf()) return row.is_terminal;
    }
    return false;
}

Console* consoleFor(const std::ios& stream) {
    std::FILE* file = standardFileOf(stream);
    if (file == nullptr) return nullptr;
    Console* console = nullptr;
    for (std::size_t row = 0; row < g_terminal_streams.size(); ++row) {
        if (g_terminal_streams[row].file == file) console = g_console_by_row[row];
    }
    return console;
}

void foreground(std::ostream& stream, std::uint32_t color) {
    const Console* console = colorConsoleFor(stream, color);
    if (console == nullptr) return;
    const unsigned code = kAnsiColorOrder[color & 7];
    const bool bright = color >= 8;
    if (console->supportsBrightColors())
        stream << "\x1b[22;" << (code + (bright ? 60 : 0)) << 'm';
    else
        stream << "\x1b[22;" << code << (bright ? ";1" : "") << 'm';
}

void background(std::ostream& stream, std::uint32_t color) {
    if (colorConsoleFor(stream, color) == nullptr) return;
    const unsigned code = kAnsiColorOrder[color & 7];
    stream << "\x1b[22;" << (code + (color >= 8 ? 70 : 10)) << 'm';
}

std::ostream& applyAttributes(std::ostream& stream, const text_attr_t& attr) {
    switch (attr.kind) {
        case kAttrForeground: foreground(stream, attr.foreground); break;
        case kAttrBackground: background(stream, attr.background); break;
        case kAttrForegroundBackground:
            foreground(stream, attr.foreground);
            background(stream, attr.background);
            break;
        case kAttrReset:
            if (const Console* console = consoleFor(stream)) console->reset();
            break;
        case kAttrReverse:
            if (const Console* console = consoleFor(stream)) console->reverse();
            break;
        case kAttrNormal:
            if (const Console* console = consoleFor(stream)) console->normal();
            break;
        default:  // kAttrNothing and unknown kinds write nothing
            break;
    }
    return stream;
}

}  // namespace forge
