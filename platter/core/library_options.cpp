#include "platter/core/library_options.hpp"

namespace platter {
namespace {

library_options_t& options() {
    static library_options_t current;
    return current;
}

}  // namespace

const library_options_t& libraryOptions() { return options(); }

void setLibraryOptions(const library_options_t& replacement) { options() = replacement; }

std::uint8_t effectiveFillByte() {
    const library_options_t& current = options();
    return current.fillNewSpace != 0 ? current.fillByte : 0;
}

}  // namespace platter
