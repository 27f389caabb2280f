#include "app/version.hpp"

#include "app/revision.hpp"
#include "platter/core/format_registry.hpp"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace app {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// In the shape, '#' stands for a digit, '~' for a digit or a space, '@' for a letter.
bool hasShape(const std::string& text, const std::string& shape) {
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool ok = shape[i] == '#'   ? std::isdigit(c) != 0
                        : shape[i] == '~' ? std::isdigit(c) != 0 || c == ' '
                        : shape[i] == '@' ? std::isalpha(c) != 0
                                          : c == static_cast<unsigned char>(shape[i]);
        if (!ok) return false;
    }
    return true;
}

TEST(VersionTest, VersionLineAndBuildLine) {
    std::ostringstream out;
    printVersion(out);
    const std::vector<std::string> text = lines(out.str());
    ASSERT_EQ(text.size(), 3u) << out.str();
    EXPECT_TRUE(out.str().ends_with("\n\n"));

    const std::string& first = text[0];
    const std::string prefix = "zt v1.7.0 [r";
    ASSERT_TRUE(first.starts_with(prefix)) << first;
    const std::size_t digits_end = first.find_first_not_of("0123456789", prefix.size());
    ASSERT_NE(digits_end, prefix.size()) << "no revision number: " << first;
    ASSERT_EQ(first.compare(digits_end, 2, "; "), 0) << first;
    const std::size_t date_end = first.find(']', digits_end);
    ASSERT_NE(date_end, std::string::npos) << first;
    // The date of the last change comes from version control ("unknown" without it).
    const std::string date = first.substr(digits_end + 2, date_end - digits_end - 2);
    EXPECT_TRUE(hasShape(date, "####-##-## ##:##:##") || date == "unknown") << date;
    EXPECT_TRUE(first.ends_with(" Korrin.")) << first;

    EXPECT_TRUE(hasShape(text[1], "          built: @@@ ~# #### ##:##:## for: " ZT_PLATFORM)) << text[1];
    EXPECT_EQ(text[2], "");
}

TEST(VersionTest, CreditsListEveryExtensionEightToALine) {
    std::ostringstream out;
    printCredits(out);
    const std::vector<std::string> text = lines(out.str());
    ASSERT_GE(text.size(), 5u);
    EXPECT_EQ(text[0], "Credits");
    EXPECT_TRUE(text[1].starts_with(" - ") && text[1].ends_with("/Korrin: coding")) << text[1];
    EXPECT_TRUE(text[3].starts_with("using Platter v4.0.0-12 by ")) << text[3];

    std::string extensions = " Supported container extensions:\n";
    const std::vector<std::string> all = platter::supportedExtensions();
    ASSERT_GT(all.size(), 8u);
    for (std::size_t i = 0; i < all.size(); ++i)
        extensions += "  " + all[i] + (i % 8 == 7 || i + 1 == all.size() ? "\n" : "");
    const std::string xxhash_version = std::to_string(XXH_VERSION_MAJOR) + "." + std::to_string(XXH_VERSION_MINOR) +
                                       "." + std::to_string(XXH_VERSION_RELEASE);
    EXPECT_TRUE(out.str().ends_with(extensions +
                                    "\n"
                                    "using xxHash v" +
                                    xxhash_version +
                                    " Copyright (c) 2012-2014 Yann Collet.\n"
                                    "  see also 'zt --license xxhash'\n"
                                    "\n"
                                    "using stb_truetype v1.26 Copyright (c) 2014-2022 Sean Barrett.\n"
                                    "  see also 'zt --license stb_truetype'\n"))
        << out.str();
}

}  // namespace
}  // namespace app
