#include "convert/page_names.h"
#include "support/text.h"

#include <gtest/gtest.h>

using namespace velmora;
using test::q;

// The folder, the source's name up to its first dot, the page number in three digits or more.
TEST(PageNames, APageIsNamedAfterItsSourceInsideItsFolder) {
    using enum PathStyle;
    const struct Row {
        PathStyle style;
        const char* folder;
        const char* source;
        int page;
        const char* expected;
        const char* why;
    } rows[] = {
        {Posix, "/out", "report.final.pdf", 1, "/out/report-001.jpg", "cut at the first dot"},
        {Posix, "/out/", "data", 42, "/out/data-042.jpg", "no dot: the whole name"},
        {Posix, "/", ".x.pdf", 999, "/-999.jpg", "a leading dot leaves an empty prefix"},
        {Posix, "/out", "日本 a;$(c).ps", 1000, "/out/日本 a;$(c)-1000.jpg", "past 999, as is"},
        {Windows, R"(D:\out\)", "a.ps", 32768, R"(D:\out\a-32768.jpg)", "one separator"},
        {Windows, R"(\\srv\share)", "a.ps", 1, R"(\\srv\share\a-001.jpg)", "network prefix"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DeliveredPageName(q(row.folder), PagePrefix(q(row.source)), row.page, row.style),
                  q(row.expected))
            << row.why;
    }
}

// Ghostscript's images sort by number (1000 after 999); anything else comes last.
TEST(PageNames, PageImagesSortByNumberNotByName) {
    const QStringList listed =
        test::split("current-1000.jpg,current-002.jpg,currentX.jpg,current-999.jpg,current-001.jpg,"
                    "current-.jpg,current-1a.jpg,current-99999999999.jpg");
    EXPECT_EQ(SortPageImages(listed),
              test::split("current-001.jpg,current-002.jpg,current-999.jpg,current-1000.jpg,"
                          "current-.jpg,current-1a.jpg,current-99999999999.jpg,currentX.jpg"));
    EXPECT_EQ(PageImageNumber(QStringLiteral("CURRENT-010.JPG")), 10);
}
