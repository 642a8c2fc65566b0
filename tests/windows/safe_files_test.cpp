// Opening and delivering files on Windows: never through a link, never a
// device, and a page replaced in one step.
#include "base/failure.h"
#include "base/unique_handle_windows.h"
#include "convert/safe_files.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(SafeFilesWindows, OnlyAFileOnADiskOpensAndOnlyOneWithContentIsConverted) {
    using Kind = FileFailure::Kind;
    QTemporaryDir dir;
    const QString page = test::WriteFile(dir.filePath(u"page.jpg"_qs), "page");
    test::WriteFile(dir.filePath(u"empty.ps"_qs), {});
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder"_qs));
    const struct {
        QString path;
        bool outputOpens; // as a page Ghostscript made
        Kind asSource;
        const char* why;
    } rows[] = {
        {page, true, Kind::None, "a file with content"},
        {dir.filePath(u"empty.ps"_qs), true, Kind::EmptyFile, "nothing to convert"},
        {dir.filePath(u"folder"_qs), false, Kind::NotRegularFile, "a folder"},
        {u"\\\\.\\NUL"_qs, false, Kind::NotRegularFile, "a device, whose read may wait"},
        {dir.filePath(u"missing"_qs), false, Kind::Unreadable, "nothing there"},
    };
    for (const auto& row : rows) {
        QFile output;
        bool opened = true;
        try {
            OpenOwnOutput(row.path, output);
        } catch (const Failure&) {
            opened = false;
        }
        EXPECT_EQ(opened, row.outputOpens) << row.why;
        QFile source;
        EXPECT_EQ(OpenSource(row.path, source).kind, row.asSource) << row.why;
        EXPECT_EQ(source.isOpen(), row.asSource == Kind::None) << row.why;
    }
    QFile output;
    OpenOwnOutput(page, output);
    EXPECT_EQ(output.readAll(), QByteArray("page"));
}

TEST(SafeFilesWindows, DeliveryPutsThePageInPlaceInOneStep) {
    for (const char* before : {"", "an earlier page of that name"}) {
        QTemporaryDir dir;
        const QString image = test::WriteFile(dir.filePath(u"current-001.jpg"_qs), "new");
        const QString target = dir.filePath(u"out/report-001.jpg"_qs);
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"out"_qs));
        if (*before != '\0') {
            test::WriteFile(target, before);
        }
        DeliverFile(image, target);
        EXPECT_EQ(test::ReadFile(target), QByteArray("new")) << before;
        EXPECT_EQ(QDir(dir.filePath(u"out"_qs)).entryList(QDir::Files).size(), 1)
            << before << ": no part file left";
    }
}

TEST(SafeFilesWindows, ALinkIsNeitherOpenedNorWrittenThrough) {
    QTemporaryDir dir;
    const QString mine = test::WriteFile(dir.filePath(u"mine.txt"_qs), "mine");
    const QString link = QDir::toNativeSeparators(dir.filePath(u"report-001.jpg"_qs));
    // Wine 8 answers that it made a link and makes none: look for it.
    ::CreateSymbolicLinkW(WideText(link), WideText(QDir::toNativeSeparators(mine)),
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD word = ::GetFileAttributesW(WideText(link));
    if (word == INVALID_FILE_ATTRIBUTES || (word & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        GTEST_SKIP() << "needs symbolic links to files, which Wine 8 cannot make";
    }
    QFile file;
    EXPECT_THROW(OpenOwnOutput(link, file), Failure) << "a file the document could not see";
    DeliverFile(test::WriteFile(dir.filePath(u"current-001.jpg"_qs), "new"), link);
    EXPECT_EQ(test::ReadFile(link), QByteArray("new"));
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link itself was replaced";
    EXPECT_EQ(test::ReadFile(mine), QByteArray("mine"));
}

} // namespace
