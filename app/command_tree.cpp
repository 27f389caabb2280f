#include "app/command_tree.hpp"

#include "app/options.hpp"

#include <vector>

namespace app {

forge::getopt::Getopt g_getopt;

namespace {

struct command_definition_t {
    const char* name;
    const char* description;
    bool hidden;
    const char* usage;
    std::vector<Option*> options;
};

const char* const kRootUsage =
    "\n[COMMAND] [OPTION]... FILE...\n\n"
    "  > 'zt' is a lister for Commodore container formats: disk images, tapes and archives\n";

// Registration order is the order of the help listing and of the short-letter lookup.
// clang-format off
const std::vector<Option*> kRootOptions = {
    &g_option_recurse, &g_option_deep, &g_option_indent, &g_option_relative, &g_option_color,
    &g_option_lowercase, &g_option_unicode, &g_option_ascii, &g_option_ascii_fall, &g_option_fields,
    &g_option_long, &g_option_delim, &g_option_almost_all, &g_option_human, &g_option_zeropad_ts,
    &g_option_xcolor, &g_option_xfree, &g_option_xheader, &g_option_xpath, &g_option_color_header,
    &g_option_case, &g_option_columns, &g_option_quiet, &g_option_version, &g_option_help,
    &g_option_license, &g_option_debug,
};
// clang-format on

// clang-format off
const command_definition_t kCommands[] = {
    {"ls", "list the contents of Commodore container formats", false,
     "\n[OPTION...] FILE...\n\n  > 'zt ls' lists the contents of disk images and file containers\n",
     {&g_option_recurse, &g_option_deep, &g_option_indent, &g_option_relative, &g_option_color,
      &g_option_lowercase, &g_option_unicode, &g_option_ascii, &g_option_ascii_fall, &g_option_fields,
      &g_option_long, &g_option_delim, &g_option_almost_all, &g_option_human, &g_option_zeropad_ts,
      &g_option_xcolor, &g_option_xfree, &g_option_xheader, &g_option_xpath, &g_option_color_header,
      &g_option_case, &g_option_columns, &g_option_quiet, &g_option_help, &g_option_debug}},
    {"view", "display supported file formats directly in the terminal", false,
     "\n[OPTION]... [FILE]...\n\n  > 'zt view' displays supported file formats directly in the terminal\n",
     {&g_option_scale, &g_option_lowercase, &g_option_bg, &g_option_fg, &g_option_relative, &g_option_xpath,
      &g_option_quiet, &g_option_help, &g_option_debug}},
    {"unar", "expand archive contents to a new disk image", false,
     "\n[OPTION]... ARCHIVE DISK\n   or: zt unar [OPTION]... DISK < ARCHIVE\n\n"
     "  > 'zt unar' expands archive contents to a new disk image\n",
     {&g_option_quiet, &g_option_help, &g_option_debug}},
    {"zip", "compress a .d64 into a zip4/5 set", false,
     "\n[OPTION]... FILE ZIPNAME\n\n  > 'zt zip' compresses a FILE (in .d64 format) into a set of zip4/5\n"
     "  > format files (1!ZIPNAME, 2!ZIPNAME, ...)\n",
     {&g_option_free, &g_option_four, &g_option_block, &g_option_quiet, &g_option_help, &g_option_debug}},
    {"unzip", "uncompress zip4/5 and zip6 sets into a .d64 or .g64", false,
     "\n[OPTION]... ZIPNAME FILE\n\n  > 'zt unzip' uncompresses zip4/5 (1!ZIPNAME...) and zip6 (1!!ZIPNAME...)\n"
     "  > sets into FILE.d64 or FILE.g64\n",
     {&g_option_unz, &g_option_quiet, &g_option_help, &g_option_debug}},
    {"diff", "compare two block-based disk images", false,
     "\n[OPTION]... DISK1 DISK2\n\n  > 'zt diff' compares two block-based disk images on a byte to byte level\n",
     {&g_option_track, &g_option_xerr, &g_option_color, &g_option_bam, &g_option_legend, &g_option_verbose,
      &g_option_help, &g_option_debug}},
    {"fgrep", "search for matching bytes in block-based disk images", false,
     "\n[OPTION]... PATTERN FILE...\n\n  > 'zt fgrep' searches for matching bytes in block-based disk images\n",
     {&g_option_pattern_ascii, &g_option_pattern_petscii, &g_option_pattern_hex, &g_option_byte_offset,
      &g_option_max_count, &g_option_count, &g_option_no_filename, &g_option_with_matches,
      &g_option_without_match, &g_option_quiet, &g_option_help, &g_option_debug}},
    {"file", "identify Commodore files", true,
     "\n[OPTION]... FILE...\n\n  > 'zt file' identifies Commodore files\n",
     {&g_option_verbose, &g_option_help, &g_option_debug}},
    {"bam", "display a block availability map", true,
     "\n[OPTION]... FILE...\n\n  > 'zt bam' displays the block availability map on block-based disk images\n",
     {&g_option_errors, &g_option_one, &g_option_three, &g_option_verbose, &g_option_help, &g_option_debug}},
    {"cat", "concatenate data from Commodore containers to standard output", false,
     "\n[OPTION]... FILE...\n\n  > 'zt cat' concatenates data from Commodore containers to standard output\n",
     {&g_option_lowercase, &g_option_verbose, &g_option_help, &g_option_debug}},
    {"ch", "changes attributes of Commodore disk images", true,
     "\n[OPTION]... FILE...\n\n  > 'zt ch' changes attributes of Commodore disk images\n",
     {&g_option_error, &g_option_verbose, &g_option_help, &g_option_debug}},
    {"merge", "merge all file contents into a single container", true,
     "\n[OPTION]... INFILE... FILE\n\n  > 'zt merge' merges all files found in the given containers (INFILES)\n"
     "  > a single container (FILE)\n",
     {&g_option_new, &g_option_separators, &g_option_headers, &g_option_out, &g_option_quiet, &g_option_help,
      &g_option_debug}},
    {"render", "convert cbm files into viewable output formats", true,
     "\n[OPTION]... FILE...\n\n  > 'zt render' work in progess\n",
     {&g_option_quiet, &g_option_help, &g_option_debug}},
    {"test", "test command", true,
     "\n[OPTION]... FILE...\n\n  > 'zt test' work in progess\n",
     {&g_option_quiet, &g_option_help, &g_option_debug}},
};
// clang-format on

}  // namespace

void buildCommandTree() {
    g_getopt.setProgramName("zt");
    g_getopt.setUsage(kRootUsage);
    for (Option* option : kRootOptions) g_getopt.addOption(*option);
    for (const command_definition_t& command : kCommands) {
        forge::getopt::Getopt& parser = g_getopt.addCommand(command.name, command.description, command.hidden);
        parser.setUsage(command.usage);
        for (Option* option : command.options) parser.addOption(*option);
    }
}

}  // namespace app
