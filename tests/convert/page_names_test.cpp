#include "convert/page_names.h"
#include "support/text.h"

#include <gtest/gtest.h>

using namespace velmora;
using test::q;

namespace {

TEST(PageNames, PrefixIsTheNameBeforeItsFirstDot) {
    const std::pair<const char*, const char*> rows[] = {
        {"report.final.pdf", "report"}, // cut at the first dot, not the last
        {"my.report.pdf", "my"},
        {"memo.pdf", "memo"},
        {"data", "data"}, // no dot: the whole name
        {".x.pdf", ""},   // a leading dot leaves nothing
        {"", ""},
        {"日本語.pdf", "日本語"}, // Unicode kept
        {"a b;$(c).pdf", "a b;$(c)"},
    };
    for (const auto& [name, prefix] : rows) {
        EXPECT_EQ(PagePrefix(q(name)), q(prefix)) << name;
    }
}

TEST(PageNames, SuffixHasAtLeastThreeDigits) {
    const std::pair<int, const char*> rows[] = {
        {1, "-001"}, {42, "-042"}, {999, "-999"}, {1000, "-1000"}, {32768, "-32768"}};
    for (const auto& [page, suffix] : rows) {
        EXPECT_EQ(PageSuffix(page), q(suffix)) << page;
    }
}

TEST(PageNames, DeliveredNameIsTidied) {
    struct Row {
        PathStyle style;
        const char* folder;
        const char* expected;
        const char* why;
    } rows[] = {
        {PathStyle::Windows, R"(D:\out\)", R"(D:\out\report-001.jpg)", "closing separator"},
        {PathStyle::Windows, R"(D:\out)", R"(D:\out\report-001.jpg)", "no closing separator"},
        {PathStyle::Windows, R"(\\srv\share\)", R"(\\srv\share\report-001.jpg)", "network"},
        {PathStyle::Posix, "/out/", "/out/report-001.jpg", "closing separator"},
        {PathStyle::Posix, "/out", "/out/report-001.jpg", "no closing separator"},
        {PathStyle::Posix, "/", "/report-001.jpg", "root"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DeliveredPageName(q(row.folder), QStringLiteral("report"), 1, row.style),
                  q(row.expected))
            << row.why;
    }
}

TEST(PageNames, PageImagesSortByNumberNotByName) {
    const QStringList listed{QStringLiteral("current-1000.jpg"), QStringLiteral("current-002.jpg"),
                             QStringLiteral("current-999.jpg"),  QStringLiteral("current-001.jpg"),
                             QStringLiteral("current-1001.jpg"), QStringLiteral("currentX.jpg")};
    EXPECT_EQ(SortPageImages(listed),
              (QStringList{QStringLiteral("current-001.jpg"), QStringLiteral("current-002.jpg"),
                           QStringLiteral("current-999.jpg"), QStringLiteral("current-1000.jpg"),
                           QStringLiteral("current-1001.jpg"), QStringLiteral("currentX.jpg")}));
    EXPECT_EQ(PageImageNumber(QStringLiteral("current-010.jpg")), 10);
    EXPECT_EQ(PageImageNumber(QStringLiteral("current-.jpg")), -1);
    EXPECT_EQ(PageImageNumber(QStringLiteral("current-1a.jpg")), -1);
    EXPECT_EQ(PageImageNumber(QStringLiteral("current-99999999999.jpg")), -1);
}

} // namespace
