#include "forge/log.hpp"

#include <iostream>

namespace forge {

std::uint32_t g_quiet_level = 0;
std::uint32_t g_verbose_level = 0;
std::string g_program_name;

const std::string g_forge_version = "1.0.0";
std::string g_png_software_tag;

void setQuietLevel(unsigned level) { g_quiet_level = level; }

void setVerboseLevel(unsigned level) { g_verbose_level = level; }

void setProgramName(std::string name) { g_program_name = std::move(name); }

bool isSuppressed(unsigned level) { return level != kLevelFatal && g_quiet_level >= level; }

bool isVerboseSuppressed(unsigned level) { return g_verbose_level < level; }

std::string_view levelPrefix(unsigned level) {
    switch (level) {
        case kLevelTrace: return "trace: ";
        case kLevelInfo: return "info: ";
        case kLevelWarning: return "warning: ";
        case kLevelError: return "error: ";
        case kLevelFatal: return "fatal: ";
        default: return "undef: ";
    }
}

namespace {

void beginLine(unsigned level) { std::cerr << g_program_name << ": " << levelPrefix(level); }

void endLine() {
    std::cerr << '\n';
    std::cerr.flush();
}

}  // namespace

bool log(unsigned level, const Printer& printer) {
    const bool failure = level > kLevelWarning;
    if (isSuppressed(level)) return failure;
    beginLine(level);
    if (printer) printer();
    endLine();
    return failure;
}

bool logWarning(const Printer& printer) { return log(kLevelWarning, printer); }

bool logError(const Printer& printer) { return log(kLevelError, printer); }

bool logFatal(const Printer& printer) { return log(kLevelFatal, printer); }

void logError(std::string_view text) {
    log(kLevelError, [text] { std::cerr << text; });
}

namespace detail {

void logWarningPieces(std::initializer_list<std::string_view> pieces) {
    log(kLevelWarning, [pieces] {
        for (std::string_view piece : pieces) std::cerr << piece;
    });
}

}  // namespace detail

void verbose(unsigned level, const Printer& printer) {
    if (!isVerboseSuppressed(level) && printer) printer();
}

void verbose(const Printer& printer) {
    if (g_verbose_level != 0 && printer) printer();
}

}  // namespace forge
