// Opening and delivering files on Windows: never a device, and a page
// replaced in one step.
#include "base/failure.h"
#include "convert/safe_files.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QTemporaryDir>

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
        const QString target = dir.filePath(u"out/report-001.jpg"_qs);
        if (*before != '\0') {
            test::WriteFile(target, before);
        }
        ASSERT_TRUE(QDir().mkpath(dir.filePath(u"out"_qs)));
        DeliverFile(test::WriteFile(dir.filePath(u"current-001.jpg"_qs), "new"), target);
        EXPECT_EQ(test::ReadFile(target), QByteArray("new")) << before;
        EXPECT_EQ(QDir(dir.filePath(u"out"_qs)).entryList(QDir::Files).size(), 1)
            << before << ": no part file left";
    }
}

} // namespace
