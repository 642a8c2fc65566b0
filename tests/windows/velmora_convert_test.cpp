// velmora-convert.exe as a Windows user runs it from a console.
#include "support/qstring_printer.h"
#include "support/test_files.h"
#include "support/wine_harness.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

velmora::test::Ended convert(const QStringList& arguments, const QString& path = {}) {
    QProcess process;
    process.setProgram(QCoreApplication::applicationDirPath() + u"/velmora-convert.exe"_qs);
    process.setArguments(arguments);
    if (!path.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"PATH"_qs, path);
        process.setProcessEnvironment(environment);
    }
    return velmora::test::RunToEnd(process);
}

TEST(VelmoraConvertExe, NamesABadPathInTheSystemsWordsInUnicode) {
    const auto ended = convert({u"--list"_qs, u"C:\\no such folder\\Zoë.ps"_qs});
    EXPECT_EQ(ended.exitCode, 0) << qPrintable(ended.err);
    EXPECT_TRUE(ended.err.contains(u"no such folder\\Zoë.ps"_qs)) << qPrintable(ended.err);
}

TEST(VelmoraConvertExe, WithoutGhostscriptSaysWhereWindowsUsersGetIt) {
    QTemporaryDir folder;
    const QString page = velmora::test::WriteFile(folder.filePath(u"a.ps"_qs), "%!PS\nshowpage\n");
    const auto ended = convert({page}, u"C:\\windows\\system32"_qs);
    EXPECT_EQ(ended.exitCode, 1);
    for (const QString& said : {u"was not found"_qs, u"Ghostscript for Windows"_qs,
                                u"https://ghostscript.com/releases/gsdnld.html"_qs}) {
        EXPECT_TRUE(ended.err.contains(said)) << qPrintable(ended.err);
    }
}

} // namespace
