#include "app/options.hpp"

namespace app {

using forge::getopt::kArgInteger;
using forge::getopt::kArgList;
using forge::getopt::kArgText;

namespace {

// clang-format off
constexpr std::string_view kFieldChoices[] = {
    "blocks", "bytes", "index", "ts", "addr", "name", "stl", "splat",
    "type", "lock", "chain", "file", "xxh32", "xxh3", "^ffid",
};
// clang-format on
constexpr std::string_view kNewChoices[] = {"ramdos"};
constexpr std::string_view kLicenseChoices[] = {"xxhash", "ghc", "stb_truetype"};
constexpr std::string_view kCaseChoices[] = {"upper", "lower"};

}  // namespace

// The options are constant-initialised (built at compile time) wherever the standard
// library allows it: starting a command then builds none of them.
Option g_option_help = Option('?', "help", "show this help text, then exit").standalone();
Option g_option_version = Option(0, "version", "show version, credits, and licensing summary, then exit").standalone();
Option g_option_license = Option(0, "license", "").argument("C", kArgText).hidden().choices(kLicenseChoices);
Option g_option_verbose = Option('v', "verbose", "verbose (-v) and more verbose (-vv) output").repeatable();
Option g_option_quiet = Option('q', "quiet", "omit normal output (-q), warnings (-qq) and errors (-qqq)").repeatable();
Option g_option_debug = Option(0, "debug", "").argument("D", kArgInteger).hidden();
Option g_option_recurse = Option('R', "recurse", "list file system subdirectories recursively");
Option g_option_deep = Option('D', "deep", "list cbm partitions, subdirs and archives recursively");
Option g_option_indent =
    Option('t', "indent", "indent by I each level when listing with --deep").argument("I", kArgInteger);
Option g_option_relative = Option('r', "relative", "output file names with relative paths");
Option g_option_case = Option(0, "case", "interpret PETSCII in upper/graphics or lower/upper mode")
                           .argument("C", kArgText)
                           .hidden()
                           .choices(kCaseChoices);
Option g_option_lowercase = Option('c', "lowercase", "emit PETSCII as if in lower/upper mode");
Option g_option_unicode = Option('U', "unicode", "emit PETSCII as Unicode");
Option g_option_ascii = Option(0, "ascii", "emit PETSCII as US-ASCII (7-bit)");
Option g_option_ascii_fall = Option(0, "ascii-fall", "use A as the ascii fallback character").argument("A", kArgText);
Option g_option_columns = Option(0, "columns", "format fields as columns in the given order")
                              .argument("F", kArgList, kArgText)
                              .hidden()
                              .choices(kFieldChoices);
Option g_option_fields = Option('f', "fields", "format fields as columns in the given order")
                             .argument("F", kArgList, kArgText)
                             .choices(kFieldChoices);
Option g_option_long = Option('l', "long", "same as '--fields blocks,bytes,index,ts,addr,name,stl'");
Option g_option_delim =
    Option('d', "delim", "format fields delimited by D instead of as columns").argument("D", kArgText);
Option g_option_color = Option('C', "color", "colorize all output where applicable");
Option g_option_color_header =
    Option('H', "color-header", "colorize only the disk header (i.e. reverse text)").hidden();
Option g_option_almost_all = Option('A', "almost-all", "do not ignore splatted DEL files in listing");
Option g_option_human = Option('h', "human", "show byte sizes in human readable units");
Option g_option_zeropad_ts = Option(0, "zeropad-ts", "output tracks/sectors as 2 digit zeropadded values");
Option g_option_xcolor = Option(0, "Xcolor", "suppress all color/reverse output");
Option g_option_xfree = Option(0, "Xfree", "omit blocks free");
Option g_option_xheader = Option(0, "Xheader", "omit disk name/id");
Option g_option_xpath = Option(0, "Xpath", "omit the file path/name");
Option g_option_scale = Option('s', "scale", "view at scale factor S (1-4)").argument("S", kArgInteger);
Option g_option_bg = Option(0, "bg", "set the background color, indexed with C (0-15)").argument("C", kArgInteger);
Option g_option_fg = Option(0, "fg", "set the foreground color, indexed with C (0-15)").argument("C", kArgInteger);
Option g_option_track = Option('T', "track", "diff only one track, T").argument("T", kArgInteger);
Option g_option_xerr = Option('e', "Xerr", "disregard all error differences");
Option g_option_bam = Option(0, "bam", "output diff as a BAM visualization");
Option g_option_legend = Option(0, "legend", "output a legend for the BAM visualization");
Option g_option_errors = Option('E', "errors", "display numeric error codes");
Option g_option_three = Option('3', "three", "use a 3 character wide block visualization");
Option g_option_one = Option('1', "one", "use a 1 character wide block visualization");
Option g_option_free = Option('f', "free", "output free (bam) sectors as if 0-filled");
Option g_option_four = Option('4', "four", "only write 4 parts (35 tracks) even if FILE is 40 tracks");
Option g_option_block = Option('B', "block", "compute RLE tokens per block as per original zipcode");
Option g_option_unz = Option('z', "unz", "when ZIPNAME is zip6 write FILE as g64 format");
Option g_option_error = Option('e', "error", "change disk error code to E").argument("E", kArgInteger);
Option g_option_new =
    Option('N', "new", "merge into a new container of format F").argument("F", kArgList, kArgText).choices(kNewChoices);
Option g_option_out = Option('o', "out", "write output to FILE").argument("FILE", kArgText);
Option g_option_separators = Option('S', "separators", "emit a one entry separator between merged file groups");
Option g_option_headers = Option('H', "headers", "emit a three line header before merged file groups");
Option g_option_max_count = Option('m', "max-count", "stop after NUM matches").argument("NUM", kArgInteger);
Option g_option_count = Option('c', "count", "print only a count of matches per FILE");
Option g_option_no_filename = Option('h', "no-filename", "suppress the file name prefix on output");
Option g_option_with_matches = Option('l', "with-matches", "only print FILE names containing matches");
Option g_option_without_match = Option('L', "without-match", "only print FILE names containing no match");
Option g_option_byte_offset = Option('b', "byte-offset", "print the byte offset for each match");
Option g_option_pattern_ascii = Option('a', "pattern-ascii", "interpret pattern as ASCII");
Option g_option_pattern_petscii = Option('p', "pattern-petscii", "interpret pattern as PETSCII");
Option g_option_pattern_hex = Option('h', "pattern-hex", "interpret pattern as serialized hex");

}  // namespace app
