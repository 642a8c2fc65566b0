#include "base/path_helpers.h"
#include "convert/stage_scripts.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

// What Ghostscript is asked for, per row: the quality it really gets, the
// pages of a range, and the page template each command interpreter needs.
TEST(JpegScript, AsksGhostscriptForWhatWasChosen) {
    const struct Row {
        PathStyle style;
        int quality;
        PageRange range;
        QStringList has;
        QStringList hasNot;
        const char* why;
    } rows[] = {
        {PathStyle::Posix,
         0,
         {},
         {"-dJPEGQ=1 "},
         {"-dJPEGQ=0"},
         "0 (\"Min.\") is Ghostscript's lowest, 1: it reads 0 as its default 75"},
        {PathStyle::Posix, 1, {}, {"-dJPEGQ=1 "}, {}, "1 passes unchanged"},
        {PathStyle::Posix,
         75,
         {},
         {"-dJPEGQ=75 ", "-sOutputFile=current-%03d.jpg"},
         {"FirstPage", "LastPage"},
         "the whole document, with the shell's template"},
        {PathStyle::Windows,
         100,
         {},
         {"-dJPEGQ=100 ", "-sOutputFile=current-%%03d.jpg"},
         {},
         "cmd.exe turns %% into %"},
        {PathStyle::Posix,
         75,
         {5, 8},
         {"-dFirstPage=5 -dLastPage=8 "},
         {},
         "a range in the middle of a document"},
        {PathStyle::Windows,
         75,
         {9, -1},
         {"-dFirstPage=9 "},
         {"LastPage"},
         "the last range is open, so pages past the count are still made"},
    };
    for (const Row& row : rows) {
        const QString text = JpegScriptText(row.quality, row.style, row.range);
        for (const QString& part : row.has) {
            EXPECT_TRUE(text.contains(part)) << row.why << "\n" << qPrintable(text);
        }
        for (const QString& part : row.hasNot) {
            EXPECT_FALSE(text.contains(part)) << row.why << "\n" << qPrintable(text);
        }
        EXPECT_EQ(text.count(lineBreak(row.style)), 3) << row.why;
    }
    EXPECT_NE(JpegScriptName(PathStyle::Posix, {5, 8}), JpegScriptName(PathStyle::Posix, {9, -1}))
        << "each range has a script of its own";
}

// A Ghostscript killed while rendering (by the out-of-memory killer, say)
// must not look like one that finished, though the script still tidies up.
TEST(JpegScript, ExitsWithGhostscriptsStatus) {
    const struct Row {
        const char* gs;
        int status;
        const char* why;
    } rows[] = {
        {"exit 0", 0, "a Ghostscript that finished"},
        {"exit 1", 1, "a Ghostscript that failed"},
        {"kill -9 $$", 137, "a Ghostscript killed by a signal"},
    };
    for (const Row& row : rows) {
        QTemporaryDir bin, work;
        test::WriteFile(bin.filePath(QStringLiteral("gs")), QByteArray("#!/bin/sh\n") + row.gs);
        QFile::setPermissions(bin.filePath(QStringLiteral("gs")),
                              QFile::ReadOwner | QFile::ExeOwner);
        const QString script = work.filePath(QStringLiteral("pdf2tiff.sh"));
        WriteTextFile(script, JpegScriptText(75, PathStyle::Posix), PathStyle::Posix);
        test::WriteFile(work.filePath(QStringLiteral("current.pdf")), "%PDF");
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), bin.path() + QLatin1Char(':') +
                                                       environment.value(QStringLiteral("PATH")));
        shell.setProcessEnvironment(environment);
        shell.setWorkingDirectory(work.path());
        shell.start(QStringLiteral("/bin/sh"), {script});
        ASSERT_TRUE(shell.waitForFinished()) << row.why;
        EXPECT_EQ(shell.exitCode(), row.status) << row.why;
        EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("current.pdf")))) << row.why;
    }
}
