#include "platter/core/listing_documents.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "platter/core/disk.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/without_root.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::ScratchDir;
using test_support::TestImage;

// The image tests/data/listing/make_image.sh has cc1541 write, made once.
const std::optional<bytes_t>& listImageBytes() {
    static const std::optional<bytes_t> bytes = test_support::imageFromScript("listing/make_image.sh");
    return bytes;
}

#define REQUIRE_LIST_IMAGE() \
    if (!listImageBytes()) GTEST_SKIP() << "no cc1541 to write the image with"

// The image under the name `path`.
TestImage listImage(const std::string& path = "list.d64") {
    TestImage image = TestImage::fromBytes(*listImageBytes());
    image.disk->setPathForFormat(path);
    return image;
}

// The document saveAs writes for an extension, compared with its golden
// file in tests/data/listing (rewritten instead with ZT_UPDATE_GOLDEN=1).
void expectGolden(const std::string& extension) {
    TestImage image = listImage();
    const ScratchDir dir;
    const auto target = dir.file("list." + extension);
    ASSERT_TRUE(saved(image.disk->saveAs(target))) << image.disk->lastError();
    const bytes_t bytes = test_support::readBytes(target);
    const std::string written(bytes.begin(), bytes.end());
    const auto golden = test_support::fixturePath("listing/list." + extension);
    if (std::getenv("ZT_UPDATE_GOLDEN")) test_support::writeText(golden, written);
    EXPECT_EQ(written, test_support::readText(golden)) << extension;
}

TEST(ListingDocuments, GoldenDocuments) {
    REQUIRE_LIST_IMAGE();
    for (const char* extension : {"txt", "csv", "rtf", "seq", "html", "kas"}) expectGolden(extension);
}

TEST(ListingDocuments, TextListingMatchesCc1541) {
    REQUIRE_LIST_IMAGE();
    TestImage image = listImage();
    const ScratchDir dir;
    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("list.txt"))));
    test_support::writeBytes(dir.file("list.d64"), *listImageBytes());
    // cc1541 prints lower case, without reverse video, and a blank line after the listing.
    const auto [ours, ourStatus] = test_support::runCommand("tr '\\r\\240' '\\n ' < " + dir.file("list.txt").string() +
                                                            " | sed 1d | tr A-Z a-z | sed '/^$/d'");
    const auto [theirs, theirStatus] = test_support::runCommand(
        "cc1541 " + dir.file("list.d64").string() + " | sed 's/\\x1b\\[[0-9]*m//g' | sed -n '3,$p' | sed '/^$/d'");
    ASSERT_EQ(ourStatus, 0);
    ASSERT_EQ(theirStatus, 0);
    EXPECT_EQ(ours, theirs);
}

TEST(ListingDocuments, CsvFieldsStayFields) {
    REQUIRE_LIST_IMAGE();
    TestImage image = listImage("x,y.d64");
    const ScratchDir dir;
    const auto csv = dir.file("l.csv");
    ASSERT_TRUE(saved(image.disk->saveAs(csv)));
    const std::string rows =
        "python3 -c 'import csv,sys;[print(len(r), r[0], r[2].strip()) for r in "
        "csv.reader(open(sys.argv[1]))]' " +
        csv.string();
    EXPECT_EQ(test_support::runCommand(rows).first,
              "4 x,y.d64 list test\n4 x,y.d64 one\n4 x,y.d64 a,b\n4 x,y.d64 locked\n4 x,y.d64 open\n"
              "4 x,y.d64 x&y<z>\n4 x,y.d64 q\"x\n4 x,y.d64 sixteen chars!!!\n");

    // With entries left out there is no header line either.
    listing_request_t request;
    request.indices = {0, 2, 6};
    ASSERT_TRUE(saved(image.disk->saveAs(csv, request)));
    EXPECT_EQ(test_support::runCommand(rows).first,
              "4 x,y.d64 a,b\n4 x,y.d64 open\n4 x,y.d64 x&y<z>\n4 x,y.d64 q\"x\n");
}

TEST(ListingDocuments, HtmlAndRtfEscapeNamesAndTitles) {
    REQUIRE_LIST_IMAGE();
    TestImage image = listImage("a{b}<&>.d64");
    const ScratchDir dir;
    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("l.html"))));
    const std::string html = test_support::readText(dir.file("l.html"));
    EXPECT_NE(html.find("<title>a{b}&lt;&amp;&gt;.d64</title>"), std::string::npos);
    EXPECT_NE(html.find("<span>a{b}&lt;&amp;&gt;.d64</span>"), std::string::npos);
    EXPECT_NE(html.find("&quot;X&amp;Y&lt;Z&gt;&quot;"), std::string::npos);
    if (test_support::haveProgram("/usr/bin/python3")) {
        // Every element opened is closed, in order.
        const std::string check =
            "python3 -c '\nimport sys,html.parser\nclass P(html.parser.HTMLParser):\n"
            "  stack=[]\n  def handle_starttag(s,t,a):\n    t in (\"br\",\"meta\",\"link\") or s.stack.append(t)\n"
            "  def handle_endtag(s,t):\n    assert s.stack.pop()==t,t\np=P();p.feed(open(sys.argv[1]).read());"
            "assert not p.stack,p.stack;print(\"ok\")' " +
            dir.file("l.html").string();
        EXPECT_EQ(test_support::runCommand(check).first, "ok\n");
    }

    ASSERT_TRUE(saved(image.disk->saveAs(dir.file("l.rtf"))));
    const std::string rtf = test_support::readText(dir.file("l.rtf"));
    EXPECT_NE(rtf.find("a\\{b\\}<&>.d64\\par"), std::string::npos);
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;  // an escaped character or a control word's first letter
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}')
            --depth;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST(ListingDocuments, AppendsToAnOpenStream) {
    REQUIRE_LIST_IMAGE();
    TestImage image = listImage();
    std::ostringstream stream;
    listing_request_t request;
    request.stream = &stream;
    ASSERT_TRUE(saved(image.disk->saveAs("ignored.html", request)));
    ASSERT_TRUE(saved(image.disk->saveAs("ignored.html", request)));
    const std::string both = stream.str();
    // No head, no title block and no tail: the caller frames the document.
    EXPECT_EQ(both.find("<html>"), std::string::npos);
    EXPECT_EQ(both.find("c64_diskname"), std::string::npos);
    EXPECT_EQ(both.find("</body>"), std::string::npos);
    EXPECT_EQ(both.substr(0, both.size() / 2), both.substr(both.size() / 2));

    std::ostringstream text;
    request.stream = &text;
    ASSERT_TRUE(saved(image.disk->saveAs("ignored.txt", request)));
    EXPECT_EQ(text.str().rfind("0 \"LIST TEST", 0), 0u);  // no path line
}

TEST(ListingDocuments, FailuresLeaveNoFileAndSayWhy) {
    TestImage image = TestImage::fromFixture("base.d64");
    const ScratchDir dir;
    // The drawn listings show only the indices given; none of these exist.
    listing_request_t request;
    request.indices = {500};
    for (const char* name : {"l.txt", "l.html", "l.rtf", "l.seq"}) {
        EXPECT_FALSE(saved(image.disk->saveAs(dir.file(name), request))) << name;
        EXPECT_EQ(image.disk->lastError(), kErrDrawFailed) << name;
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    }

    // An existing document stays as it was when the new one cannot be saved.
    const auto readOnly = dir.file("ro");
    std::filesystem::create_directory(readOnly);
    test_support::writeText(readOnly / "l.csv", "old");
    chmod(dir.path().c_str(), 0755);
    chmod(readOnly.c_str(), 0555);
    EXPECT_TRUE(test_support::inChildWithoutRoot([&] {
        std::string failures;
        for (const char* name : {"l.csv", "l.txt", "l.kas", "l.png"}) {
            if (saved(image.disk->saveAs(readOnly / name)) || image.disk->lastError() != kErrOpenFile) {
                failures += std::string(name) + "; ";
            }
        }
        return failures;
    }));
    EXPECT_EQ(test_support::readText(readOnly / "l.csv"), "old");
    chmod(readOnly.c_str(), 0755);

    std::ofstream full("/dev/full", std::ios::binary);
    if (full) {
        request = {};
        request.stream = &full;
        for (const char* name : {"x.html", "x.csv", "x.txt", "x.kas"}) {
            EXPECT_FALSE(saved(image.disk->saveAs(name, request))) << name;
            EXPECT_EQ(image.disk->lastError(), kErrStreamWrite) << name;
            full.clear();
        }
    }
}

}  // namespace
}  // namespace platter
