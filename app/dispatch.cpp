#include "app/dispatch.hpp"

#include "app/command.hpp"
#include "app/command_bam.hpp"
#include "app/command_cat.hpp"
#include "app/command_ch.hpp"
#include "app/command_diff.hpp"
#include "app/command_fgrep.hpp"
#include "app/command_file.hpp"
#include "app/command_geowrite_pages.hpp"
#include "app/command_ls.hpp"
#include "app/command_merge.hpp"
#include "app/command_render.hpp"
#include "app/command_tree.hpp"
#include "app/command_unar.hpp"
#include "app/command_unzip.hpp"
#include "app/command_view.hpp"
#include "app/command_zip.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace app {

namespace {

struct command_factory_t {
    std::string_view word;
    std::unique_ptr<Command> (*make)();
};

template <typename C>
std::unique_ptr<Command> makeCommand() {
    return std::make_unique<C>();
}

// One line per command word that buildCommandTree registers.
const std::vector<command_factory_t>& builtCommands() {
    static const std::vector<command_factory_t> commands = {
        {"ls", makeCommand<CommandLs>},       {"file", makeCommand<CommandFile>},
        {"cat", makeCommand<CommandCat>},     {"ch", makeCommand<CommandCh>},
        {"bam", makeCommand<CommandBam>},     {"diff", makeCommand<CommandDiff>},
        {"fgrep", makeCommand<CommandFgrep>}, {"test", makeCommand<CommandGeowritePages>},
        {"view", makeCommand<CommandView>},   {"render", makeCommand<CommandRender>},
        {"merge", makeCommand<CommandMerge>}, {"zip", makeCommand<CommandZip>},
        {"unzip", makeCommand<CommandUnzip>}, {"unar", makeCommand<CommandUnar>},
    };
    return commands;
}

}  // namespace

int dispatchCommand() {
    const forge::getopt::command_t* selected = g_getopt.selectedCommand();
    const std::string word = selected != nullptr ? selected->name : "ls";
    for (const command_factory_t& command : builtCommands()) {
        if (command.word == word) return command.make()->run(g_getopt);
    }
    // Parsing refuses a word the tree does not register, so every word finds its line above.
    return 1;
}

}  // namespace app
