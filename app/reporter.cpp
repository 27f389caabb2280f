#include "app/reporter.hpp"

#include <iostream>

#include "forge/log.hpp"

namespace app {

void Reporter::notice(std::string_view text, unsigned silencedAt) { write("notice: ", text, silencedAt); }

void Reporter::warning(std::string_view text, unsigned silencedAt) { write("warning: ", text, silencedAt); }

void Reporter::error(std::string_view text, unsigned silencedAt) {
    failed_ = true;
    write("error: ", text, silencedAt);
}

void Reporter::errorWithoutFailure(std::string_view text, unsigned silencedAt) { write("error: ", text, silencedAt); }

void Reporter::report(const forge::message_t& message, unsigned silencedAt) {
    switch (message.level) {
        case forge::message_level::notice: notice(message.text, silencedAt); break;
        case forge::message_level::warning: warning(message.text, silencedAt); break;
        case forge::message_level::error: error(message.text, silencedAt); break;
    }
}

void Reporter::report(const std::vector<forge::message_t>& messages, unsigned silencedAt) {
    for (const forge::message_t& message : messages) report(message, silencedAt);
}

void Reporter::relay(const platter::CbmSelection& selection) {
    const std::vector<std::string>& lines = selection.errors();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!selection.isQuietable(i) || forge::g_quiet_level < kQuiet) std::cerr << lines[i];
    }
}

void Reporter::write(std::string_view prefix, std::string_view text, unsigned silencedAt) {
    if (silencedAt != kNever && forge::g_quiet_level >= silencedAt) return;
    std::cerr << prefix << text << '\n' << std::flush;
}

}  // namespace app
