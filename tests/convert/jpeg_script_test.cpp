#include "base/path_helpers.h"
#include "convert/stage_scripts.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(JpegScript, TextPerStyleAndQuality) {
    struct Row {
        PathStyle style;
        int quality;
        const char* text;
    } rows[] = {
        {PathStyle::Windows, 75,
         "\"%VELMORA_GHOSTSCRIPT%\" -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 "
         "-dDOINTERPOLATE "
         "-sOutputFile=current-%%03d.jpg -r300 current.pdf\r\nset status=%errorlevel%\r\n"
         "del current.pdf\r\nexit /b %status%"},
        {PathStyle::Windows, 90,
         "\"%VELMORA_GHOSTSCRIPT%\" -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=90 "
         "-dDOINTERPOLATE "
         "-sOutputFile=current-%%03d.jpg -r300 current.pdf\r\nset status=%errorlevel%\r\n"
         "del current.pdf\r\nexit /b %status%"},
        {PathStyle::Posix, 75,
         "gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 -dDOINTERPOLATE "
         "-sOutputFile=current-%03d.jpg -r300 current.pdf\nstatus=$?\nrm -f current.pdf\n"
         "exit $status"},
        {PathStyle::Posix, 90,
         "gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=90 -dDOINTERPOLATE "
         "-sOutputFile=current-%03d.jpg -r300 current.pdf\nstatus=$?\nrm -f current.pdf\n"
         "exit $status"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(JpegScriptText(row.quality, row.style), QString::fromLatin1(row.text));
    }
    EXPECT_EQ(JpegScriptName(PathStyle::Windows), QStringLiteral("pdf2tiff.bat"));
    EXPECT_EQ(JpegScriptName(PathStyle::Posix), QStringLiteral("pdf2tiff.sh"));
    EXPECT_EQ(PsToPdfScriptName(PathStyle::Windows), QStringLiteral("pstopdf.bat"));
    EXPECT_EQ(PsToPdfScriptName(PathStyle::Posix), QStringLiteral("pstopdf.sh"));
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
