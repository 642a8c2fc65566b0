// velmora-convert.exe as a Windows user runs it from a console.
#include "support/qstring_printer.h"
#include "support/wine_harness.h"

namespace {

// Without Ghostscript on the PATH: a path that is not there is named at once
// in the system's words and in Unicode, and the run ends saying where
// Windows users get Ghostscript.
TEST(VelmoraConvertExe, NamesABadPathAndWhereWindowsUsersGetGhostscript) {
    QProcess process;
    process.setProgram(QCoreApplication::applicationDirPath() + u"/velmora-convert.exe"_qs);
    process.setArguments({u"C:\\no such folder\\Zoë.ps"_qs});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"PATH"_qs, u"C:\\windows\\system32"_qs);
    process.setProcessEnvironment(environment);
    const velmora::test::Ended ended = velmora::test::RunToEnd(process);
    EXPECT_EQ(ended.exitCode, 1);
    for (const QString& said :
         {u"no such folder\\Zoë.ps: "_qs, u"was not found"_qs, u"Ghostscript for Windows"_qs,
          u"https://ghostscript.com/releases/gsdnld.html"_qs}) {
        EXPECT_TRUE(ended.err.contains(said)) << qPrintable(ended.err);
    }
}

} // namespace
