#pragma once
// The program's command-line options: one global object each, shared by every
// command parser that accepts it. Commands read them after parsing.

#include "forge/getopt_option.hpp"

namespace app {

using forge::getopt::Option;

extern Option g_option_help;
extern Option g_option_version;
extern Option g_option_license;
extern Option g_option_verbose;
extern Option g_option_quiet;
extern Option g_option_debug;
extern Option g_option_recurse;
extern Option g_option_deep;
extern Option g_option_indent;
extern Option g_option_relative;
extern Option g_option_case;
extern Option g_option_lowercase;
extern Option g_option_unicode;
extern Option g_option_ascii;
extern Option g_option_ascii_fall;
extern Option g_option_columns;
extern Option g_option_fields;
extern Option g_option_long;
extern Option g_option_delim;
extern Option g_option_color;
extern Option g_option_color_header;
extern Option g_option_almost_all;
extern Option g_option_human;
extern Option g_option_zeropad_ts;
extern Option g_option_xcolor;
extern Option g_option_xfree;
extern Option g_option_xheader;
extern Option g_option_xpath;
extern Option g_option_scale;
extern Option g_option_bg;
extern Option g_option_fg;
extern Option g_option_track;
extern Option g_option_xerr;
extern Option g_option_bam;
extern Option g_option_legend;
extern Option g_option_errors;
extern Option g_option_three;
extern Option g_option_one;
extern Option g_option_free;
extern Option g_option_four;
extern Option g_option_block;
extern Option g_option_unz;
extern Option g_option_error;
extern Option g_option_new;
extern Option g_option_out;
extern Option g_option_separators;
extern Option g_option_headers;
extern Option g_option_max_count;
extern Option g_option_count;
extern Option g_option_no_filename;
extern Option g_option_with_matches;
extern Option g_option_without_match;
extern Option g_option_byte_offset;
extern Option g_option_pattern_ascii;
extern Option g_option_pattern_petscii;
extern Option g_option_pattern_hex;

}  // namespace app
