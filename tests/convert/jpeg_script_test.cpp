#include "base/folder_listing.h"
#include "base/path_helpers.h"
#include "convert/page_names.h"
#include "convert/stage_scripts.h"
#include "convert/work_layout.h"
#include "support/test_files.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

// The quality Ghostscript really gets, a range's pages, and pages written in its own folder
// under the names the program collects, on either command interpreter.
TEST(JpegScript, AsksGhostscriptForWhatWasChosen) {
    using enum PathStyle;
    const struct Row {
        PathStyle style;
        int quality;
        PageRange range;
        int jpegQuality; // what Ghostscript gets
        const char* why;
    } rows[] = {
        {Posix, 0, {}, 1, "0 (\"Min.\") is Ghostscript's lowest, 1: it reads 0 as its default 75"},
        {Posix, 1, {5, 8}, 1, "a range in the middle of a document"},
        {Windows, 100, {9, -1}, 100, "the last range is open: pages past the count are made"},
        {Windows, 75, {}, 75, "the whole document; cmd.exe turns %% into %"},
    };
    for (const Row& row : rows) {
        const QString text = JpegScriptText(row.quality, row.style, row.range);
        SCOPED_TRACE(row.why + ("\n" + text.toStdString()));
        const QStringList words = text.section(lineBreak(row.style), 0, 0).split(QLatin1Char(' '));
        EXPECT_TRUE(words.contains(QStringLiteral("-dJPEGQ=%1").arg(row.jpegQuality)));
        EXPECT_TRUE(words.contains(QStringLiteral("-dSAFER")));
        EXPECT_EQ(words.contains(QStringLiteral("-dFirstPage=%1").arg(row.range.first)),
                  row.range != PageRange{});
        EXPECT_EQ(words.contains(QStringLiteral("-dLastPage=%1").arg(row.range.last)),
                  row.range.last >= 0);
        EXPECT_EQ(words.last(), WorkLayout::pdfName()) << "it renders the PDF in its folder";
        QString output = words.filter(QStringLiteral("-sOutputFile=")).value(0).section('=', 1);
        if (row.style == Windows) {
            output.replace(QStringLiteral("%%"), QStringLiteral("%"));
        }
        EXPECT_FALSE(output.contains(QLatin1Char('/')) || output.contains(QLatin1Char('\\')));
        const QString firstPage = QString::asprintf(qPrintable(output), 1);
        EXPECT_TRUE(MatchesFilePattern(firstPage, WorkLayout::pageImagePattern()));
        EXPECT_EQ(PageImageNumber(firstPage), 1);
        EXPECT_EQ(text.count(lineBreak(row.style)), 3) << "no line break of the other system";
    }
    EXPECT_NE(JpegScriptName(PathStyle::Posix, {5, 8}), JpegScriptName(PathStyle::Posix, {9, -1}))
        << "each range has a script of its own";
}

// A Ghostscript killed while rendering (out of memory) must not look like one that finished.
TEST(JpegScript, ExitsWithGhostscriptsStatus) {
    const struct Row {
        const char* gs; // the body of a shell function standing in for Ghostscript
        int status;
    } rows[] = {{"return 0", 0}, {"return 1", 1}, {"sh -c 'kill -9 $$'", 137}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.gs);
        QTemporaryDir work;
        WriteTextFile(work.filePath(QStringLiteral("render.sh")),
                      JpegScriptText(75, PathStyle::Posix), PathStyle::Posix);
        test::WriteFile(work.filePath(WorkLayout::pdfName()), "%PDF");
        QProcess shell;
        shell.setWorkingDirectory(work.path());
        shell.start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("gs() { %1; }; . ./render.sh").arg(row.gs)});
        ASSERT_TRUE(shell.waitForFinished());
        EXPECT_EQ(shell.exitCode(), row.status);
        EXPECT_FALSE(QFile::exists(work.filePath(WorkLayout::pdfName())));
    }
}
