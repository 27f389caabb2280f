// The program's entry: one run of one command, its result the exit status.

#include "app/startup.hpp"
#include "forge/log.hpp"

#include <malloc.h>

#include <clocale>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    // Display widths of host paths and names follow the user's character set.
    std::setlocale(LC_CTYPE, "");
    // Images opened one after another reuse the memory the last one freed, instead of the
    // heap handing it back to the system after each and faulting it in again.
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 8 << 20);
    try {
        return app::runMain(argc, argv);
    } catch (const std::exception& failure) {
        // forge::Failure (a value asked for that a caller should have checked) and
        // anything else unexpected end the run with a message, never an abort.
        forge::logFatal([&] { std::cerr << failure.what(); });
        return 1;
    }
}
