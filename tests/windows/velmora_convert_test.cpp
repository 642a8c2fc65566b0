// velmora-convert.exe as a Windows user runs it from a console.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Ran {
    int exitCode = -1;
    QString out;
    QString err;
};

Ran run(const QStringList& arguments) {
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert.exe"),
                  arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

struct Row {
    QStringList arguments;
    int exitCode;
    const char* inOut;
    const char* inErr;
    const char* why;
};

class VelmoraConvertExe : public ::testing::TestWithParam<Row> {};

TEST_P(VelmoraConvertExe, Answers) {
    const Row& row = GetParam();
    const Ran ran = run(row.arguments);
    EXPECT_EQ(ran.exitCode, row.exitCode) << row.why << "\n" << qPrintable(ran.err);
    EXPECT_TRUE(ran.out.contains(QString::fromUtf8(row.inOut)))
        << row.why << ": " << qPrintable(ran.out);
    EXPECT_TRUE(ran.err.contains(QString::fromUtf8(row.inErr)))
        << row.why << ": " << qPrintable(ran.err);
}

const QString kMissing = QStringLiteral("C:\\no such folder\\Zoë.ps");

INSTANTIATE_TEST_SUITE_P(
    Rows, VelmoraConvertExe,
    ::testing::Values(
        Row{{QStringLiteral("--version")}, 0, "velmora-convert 0.1.0", "", "its version"},
        Row{{}, 2, "", "Usage:", "nothing to convert"},
        Row{{QStringLiteral("--quality"), QStringLiteral("101"), kMissing},
            2,
            "",
            "Usage:",
            "a quality past 100"},
        Row{{QStringLiteral("--list"), kMissing},
            0,
            "",
            "no such folder\\Zo\u00eb.ps",
            "a bad path is named in the system's words, in Unicode"}));

TEST(VelmoraConvertExeWithoutGhostscript, SaysWhereWindowsUsersGetIt) {
    QTemporaryDir folder;
    QFile page(folder.filePath(QStringLiteral("a.ps")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("%!PS\nshowpage\n");
    page.close();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), QStringLiteral("C:\\windows\\system32"));
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert.exe"),
                  {page.fileName()});
    ASSERT_TRUE(process.waitForFinished(60000));
    // A program that cannot start is an error: it is told on the error stream.
    const QString out = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("was not found"))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("Ghostscript for Windows"))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("https://ghostscript.com/releases/gsdnld.html")));
}

} // namespace
