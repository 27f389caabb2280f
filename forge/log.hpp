#pragma once
// Process-wide message log: program name, quiet and verbose levels, and the
// writers of "name: level: text" lines on the error stream.

#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iostream>  // printers write to std::cerr
#include <string>
#include <string_view>

namespace forge {

// A deferred message: writes its text (no prefix, no line end) to std::cerr,
// and runs only when the message is actually shown.
using Printer = std::function<void()>;

// A problem handed back to the caller instead of being printed; returned inside
// a std::optional, where empty means success.
struct ErrorCli {
    std::uint32_t code = 0;
    Printer printer;
};

// Message levels.
inline constexpr unsigned kLevelTrace = 0;
inline constexpr unsigned kLevelInfo = 1;
inline constexpr unsigned kLevelWarning = 2;
inline constexpr unsigned kLevelError = 3;
inline constexpr unsigned kLevelFatal = 4;

extern std::uint32_t g_quiet_level;    // number of -q given
extern std::uint32_t g_verbose_level;  // 1 normal, 2 with -v, 3 with -vv, 0 with -q
extern std::string g_program_name;     // begins every message line

// Library identity texts, read by the PNG writer.
extern const std::string g_forge_version;  // "1.0.0"
extern std::string g_png_software_tag;     // empty unless the application sets it

void setQuietLevel(unsigned level);
void setVerboseLevel(unsigned level);
void setProgramName(std::string name);

// Fatal (4) is never suppressed; any other level is when the quiet level reaches it.
bool isSuppressed(unsigned level);
bool isVerboseSuppressed(unsigned level);

// "trace: ", "info: ", "warning: ", "error: ", "fatal: " for 0..4, else "undef: ".
std::string_view levelPrefix(unsigned level);

// Writes name + ": " + prefix + the printer's text + "\n" and flushes, unless
// suppressed. Returns level > 2 either way, so callers can use it as a failure flag.
bool log(unsigned level, const Printer& printer);
bool logWarning(const Printer& printer);
bool logError(const Printer& printer);
bool logFatal(const Printer& printer);

// Text forms: unless suppressed, one line made of the pieces in order.
void logError(std::string_view text);

namespace detail {
void logWarningPieces(std::initializer_list<std::string_view> pieces);
}

template <typename... Pieces>
requires(sizeof...(Pieces) > 0 &&
         (std::convertible_to<const Pieces&, std::string_view> && ...)) void logWarning(const Pieces&... pieces) {
    detail::logWarningPieces({std::string_view(pieces)...});
}

// Verbose output: no prefix, no added line end.
void verbose(unsigned level, const Printer& printer);  // runs when verbose level >= level
void verbose(const Printer& printer);                  // runs when verbose level != 0

}  // namespace forge
