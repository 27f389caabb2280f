#include "app/program_identity.hpp"

#include "app/revision.hpp"  // generated at configure time

namespace app {

const program_identity_t g_program_identity = {
    "zt",        "1.7.0",        "2024-2026", "the zt team/Korrin: coding", "the zt team/Korrin",
    ZT_REVISION, ZT_LAST_CHANGE, ZT_PLATFORM,
};

std::string generatorName() {
    return std::string(g_program_identity.name) + " v" + std::string(g_program_identity.version) + "/Korrin";
}

}  // namespace app
