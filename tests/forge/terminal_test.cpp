#include "forge/terminal.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// What `body` writes to file descriptor 1, which goes to a scratch file meanwhile.
template <typename Body>
std::string captureStdout(Body body) {
    std::cout.flush();
    std::FILE* scratch = std::tmpfile();
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(::fileno(scratch), STDOUT_FILENO);
    body();
    std::cout.flush();
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    std::string text;
    std::rewind(scratch);
    for (int c = std::fgetc(scratch); c != EOF; c = std::fgetc(scratch)) text += static_cast<char>(c);
    std::fclose(scratch);
    return text;
}

std::string applied(std::uint32_t kind, std::uint32_t fg, std::uint32_t bg) {
    return captureStdout([&] { forge::applyAttributes(std::cout, {kind, fg, bg}); });
}

TEST(Color, SequencesNeedAnAttachedConsoleWithColorOn) {
    EXPECT_EQ(applied(forge::kAttrReverse, 0, 0), "");  // no console attached yet
    forge::Console console;
    console.attachStdout();
    EXPECT_EQ(applied(forge::kAttrForeground, 1, 0), "");  // colour still off
    console.setColor(true);

    EXPECT_EQ(applied(forge::kAttrForeground, 0, 0), "\x1b[22;30m");
    EXPECT_EQ(applied(forge::kAttrForeground, 1, 0), "\x1b[22;34m");
    EXPECT_EQ(applied(forge::kAttrForeground, 9, 0), "\x1b[22;34;1m");
    EXPECT_EQ(applied(forge::kAttrForeground, 15, 0), "\x1b[22;37;1m");
    EXPECT_EQ(applied(forge::kAttrBackground, 0, 1), "\x1b[22;44m");
    EXPECT_EQ(applied(forge::kAttrBackground, 0, 9), "\x1b[22;104m");
    EXPECT_EQ(applied(forge::kAttrBackground, 0, 15), "\x1b[22;107m");
    EXPECT_EQ(applied(forge::kAttrForegroundBackground, 4, 6), "\x1b[22;31m\x1b[22;43m");
    EXPECT_EQ(applied(forge::kAttrForegroundBackground, 2, forge::kNoColor), "\x1b[22;32m");
    EXPECT_EQ(applied(forge::kAttrReset, 0, 0), "\x1b[0;22m");
    EXPECT_EQ(applied(forge::kAttrNormal, 0, 0), "\x1b[0;22m");
    EXPECT_EQ(applied(forge::kAttrReverse, 0, 0), "\x1b[0;7m");
    EXPECT_EQ(applied(forge::kAttrNothing, 1, 1), "");
    EXPECT_EQ(applied(3, 1, 1), "");

    std::ostringstream text;  // in no row of the terminal table
    forge::applyAttributes(text, {forge::kAttrForegroundBackground, 1, 2});
    EXPECT_EQ(text.str(), "");
    EXPECT_FALSE(forge::isTerminal(text));
    EXPECT_EQ(forge::consoleFor(text), nullptr);
}

TEST(Console, RegistrationModesAndCopies) {
    {
        forge::Console console;
        console.setMode(forge::kModeAscii).attachStdout();
        EXPECT_EQ(console.mode(), forge::kModeAscii);
        EXPECT_EQ(forge::consoleFor(std::cout), &console);
        forge::Console copy;
        copy = console;
        EXPECT_TRUE(copy.isAttached());
        EXPECT_EQ(copy.mode(), forge::kModeAscii);
        EXPECT_EQ(forge::consoleFor(std::cout), &console);  // copies are never registered
    }
    EXPECT_EQ(forge::consoleFor(std::cout), nullptr);  // the destroyed console unregistered
    forge::Console fresh;
    EXPECT_EQ(fresh.mode(), 0u);
    fresh.attachStdout();
    EXPECT_EQ(fresh.mode(), forge::kModeUnicode);
    std::uint32_t fg = 7, bg = 7;
    EXPECT_FALSE(fresh.getColors(fg, bg));
    EXPECT_EQ(fg + bg, 14u);
}

TEST(Console, DebugReportWhenRedirected) {
    if (forge::g_terminal_streams[1].is_terminal) GTEST_SKIP() << "standard output is a terminal";
    forge::Console console;
    console.attachStdout();
    std::ostringstream report;
    console.printDebugInfo(report);
    EXPECT_EQ(report.str(), "stdout is redirected\n\n");
    EXPECT_FALSE(forge::isTerminal(std::cout));
}

// Started by UnderScript inside a pseudo-terminal; writes what it saw to ZT_TTY_REPORT.
TEST(TerminalTty, ReportsTerminal) {
    const char* reportPath = std::getenv("ZT_TTY_REPORT");
    if (reportPath == nullptr) GTEST_SKIP() << "runs inside a pseudo-terminal only";
    forge::Console console;
    console.attachStdout();
    std::ofstream report(reportPath);
    report << "terminal:" << forge::isTerminal(std::cout) << ' ';
    console.printDebugInfo(report);
}

TEST(TerminalTty, UnderScript) {
    if (std::getenv("ZT_TTY_REPORT") != nullptr || std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs script (util-linux), outside a pseudo-terminal";
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    self[length] = '\0';
    char reportPath[] = "/tmp/zt-tty-XXXXXX";
    ::close(::mkstemp(reportPath));
    const std::string command = std::string("ZT_TTY_REPORT=") + reportPath + " script -qec '" + self +
                                " --gtest_filter=TerminalTty.ReportsTerminal' /dev/null >/dev/null 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    std::ifstream in(reportPath);
    std::stringstream report;
    report << in.rdbuf();
    ::unlink(reportPath);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(report.str(), "terminal:1 stdout is a terminal; ANSI capable:yes\n\n");
}

}  // namespace
