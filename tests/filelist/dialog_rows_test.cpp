#include "filelist/dialog_rows.h"
#include "support/qstring_printer.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct RowsCase {
    const char* reason;
    QStringList picked;
    QStringList rows;
};

class DialogRowsTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(DialogRowsTest, GivesTheRowsInTheDialogsOrder) {
    EXPECT_EQ(DialogRows(GetParam().picked), GetParam().rows) << GetParam().reason;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DialogRowsTest,
    ::testing::Values(RowsCase{"one file stays exactly as picked, doubled separator and all",
                               {QStringLiteral("/scans//a.ps")},
                               {QStringLiteral("/scans//a.ps")}},
                      RowsCase{"several keep the dialog's order, not sorted",
                               {QStringLiteral("/scans/c.ps"), QStringLiteral("/scans/a.ps"),
                                QStringLiteral("/scans/b.ps")},
                               {QStringLiteral("/scans/c.ps"), QStringLiteral("/scans/a.ps"),
                                QStringLiteral("/scans/b.ps")}},
                      RowsCase{"several in the root get a single separator",
                               {QStringLiteral("//a.ps"), QStringLiteral("//b.ps")},
                               {QStringLiteral("/a.ps"), QStringLiteral("/b.ps")}},
                      RowsCase{"several are tidied of doubled separators",
                               {QStringLiteral("/scans//a.ps"), QStringLiteral("/scans//b.ps")},
                               {QStringLiteral("/scans/a.ps"), QStringLiteral("/scans/b.ps")}},
                      RowsCase{"the same file twice gives two rows",
                               {QStringLiteral("/d/a.ps"), QStringLiteral("/d/a.ps")},
                               {QStringLiteral("/d/a.ps"), QStringLiteral("/d/a.ps")}}));

// Names that make the answer exactly `length` characters long: a folder of
// 10 characters, then a NUL and a name per file.
QStringList selectionOf(qsizetype length) {
    const QString folder = QStringLiteral("/123456789"); // 10 characters
    QStringList picked;
    qsizetype left = length - folder.size();
    while (left > 0) {
        const qsizetype name = std::min<qsizetype>(left - 1, 200);
        picked.append(folder + QLatin1Char('/') + QString(name, QLatin1Char('n')));
        left -= 1 + name;
    }
    return picked;
}

TEST(SelectionBound, CountsTheFolderOnceAndEachBareNameWithItsSeparator) {
    EXPECT_EQ(SelectionNameLength({QStringLiteral("/d/a.ps"), QStringLiteral("/d/bb.ps")}),
              2 + (1 + 4) + (1 + 5));
    // One picked file: the answer is its full path.
    EXPECT_EQ(SelectionNameLength({QStringLiteral("/d/a.ps")}), 7);
    EXPECT_EQ(SelectionNameLength({QStringLiteral("/a.ps"), QStringLiteral("/b.ps")}),
              1 + (1 + 4) + (1 + 4));
}

TEST(SelectionBound, JustOverTheRoomIsRefusedJustUnderIsNot) {
    ASSERT_EQ(SelectionNameLength(selectionOf(kMaxFileSize + 1)), kMaxFileSize + 1);
    EXPECT_FALSE(SelectionFits(selectionOf(kMaxFileSize + 1)));
    EXPECT_TRUE(SelectionFits(selectionOf(kMaxFileSize)));
    EXPECT_TRUE(SelectionFits(selectionOf(kMaxFileSize - 1)));
}

} // namespace
