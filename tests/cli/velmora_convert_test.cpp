// The command-line twin, run as a user would run it.
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include <gtest/gtest.h>

namespace {

struct Ran {
    int exitCode = -1;
    QString out;
    QString err;
};

Ran run(const QStringList& arguments, const QString& workingFolder = {}) {
    QProcess process;
    if (!workingFolder.isEmpty()) {
        process.setWorkingDirectory(workingFolder);
    }
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert"),
                  arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class VelmoraConvert : public ::testing::Test {
protected:
    QString file(const QString& relative, const QByteArray& content) {
        return velmora::test::WriteFile(in.filePath(relative), content);
    }
    QTemporaryDir in;
    QTemporaryDir out;
};

const QByteArray OnePage = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n72 72 moveto 200 200 lineto "
                           "stroke showpage\n%%EOF\n";

TEST_F(VelmoraConvert, UsageErrorsExitWithTwo) {
    const QStringList rows[] = {
        {}, // nothing to convert
        {QStringLiteral("--quality"), QStringLiteral("101"), QStringLiteral("a.ps")},
        {QStringLiteral("--quality"), QStringLiteral("high"), QStringLiteral("a.ps")},
        {QStringLiteral("--timeout"), QStringLiteral("0"), QStringLiteral("a.ps")},
    };
    for (const QStringList& arguments : rows) {
        const Ran ran = run(arguments);
        EXPECT_EQ(ran.exitCode, 2) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(ran.err.contains(QStringLiteral("Usage:"))) << qPrintable(ran.err);
    }
    const Ran help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--output-dir")));
}

TEST_F(VelmoraConvert, ListTakesFoldersLikeAddAll) {
    file(QStringLiteral("b.ps"), OnePage);
    file(QStringLiteral("A.PS"), OnePage);
    file(QStringLiteral("~lock.ps"), OnePage);
    file(QStringLiteral(".hidden.ps"), OnePage);
    file(QStringLiteral("notes.txt"), "x");
    file(QStringLiteral("sub/c.ps"), OnePage);
    const QString single = file(QStringLiteral("single.eps"), OnePage);

    const Ran ps = run({QStringLiteral("--list"), in.path(), single});
    EXPECT_EQ(ps.exitCode, 0);
    EXPECT_EQ(
        ps.out.split('\n', Qt::SkipEmptyParts),
        (QStringList{in.filePath("A.PS"), in.filePath("b.ps"), in.filePath("sub/c.ps"), single}));

    const Ran txt = run({QStringLiteral("--list"), QStringLiteral("--extension"),
                         QStringLiteral("txt"), in.path()});
    EXPECT_EQ(txt.out.split('\n', Qt::SkipEmptyParts), QStringList{in.filePath("notes.txt")});
}

TEST_F(VelmoraConvert, ConvertsIntoAFolderAndSaysDone) {
    file(QStringLiteral("one.ps"), OnePage);
    const Ran ran =
        run({QStringLiteral("--output-dir"), out.path(), QStringLiteral("one.ps")}, in.path());
    EXPECT_EQ(ran.exitCode, 0) << qPrintable(ran.err);
    EXPECT_EQ(ran.out, QStringLiteral("Done.\n"));
    EXPECT_TRUE(ran.err.contains(QStringLiteral("Processing: one.ps")));
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("one-001.jpg"))));
}

TEST_F(VelmoraConvert, AFailedFileIsNamedAndTheExitCodeIsOne) {
    const QString empty = file(QStringLiteral("empty.ps"), {});
    const QString good = file(QStringLiteral("good.ps"), OnePage);
    const Ran ran = run({empty, good});
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_EQ(ran.out, QStringLiteral("Done.\n") + empty + QStringLiteral(": empty file\n"));
    EXPECT_TRUE(QFile::exists(in.filePath(QStringLiteral("good-001.jpg"))));
    EXPECT_FALSE(QFile::exists(in.filePath(QStringLiteral("empty-001.jpg"))));
}

TEST_F(VelmoraConvert, AnEndlessDocumentEndsAtTheTimeLimit) {
    const QString loop = file(QStringLiteral("loop.ps"), "%!PS\n{} loop\n");
    const QString good = file(QStringLiteral("good.ps"), OnePage);
    const Ran ran = run({QStringLiteral("--timeout"), QStringLiteral("1"), loop, good});
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_EQ(ran.out,
              QStringLiteral("Done.\n") + loop + QStringLiteral(": no progress for 1 s\n"));
    EXPECT_TRUE(QFile::exists(in.filePath(QStringLiteral("good-001.jpg"))));
}

TEST_F(VelmoraConvert, AMissingFileIsOneLineOnStderrAndNamedAfterDone) {
    const QString missing = in.filePath(QStringLiteral("missing.ps"));
    const QString good = file(QStringLiteral("good.ps"), OnePage);
    const Ran ran = run({missing, good});
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_TRUE(ran.err.split('\n').contains(QStringLiteral("velmora-convert: ") + missing +
                                             QStringLiteral(": No such file or directory")))
        << qPrintable(ran.err);
    // The window's error box text has no place on a terminal.
    for (const char* boxText : {"Application Error", "Please email", "at line"}) {
        EXPECT_FALSE(ran.err.contains(QLatin1String(boxText))) << qPrintable(ran.err);
    }
    EXPECT_TRUE(ran.out.startsWith(QStringLiteral("Done.\n") + missing + QStringLiteral(": ")))
        << qPrintable(ran.out);
    EXPECT_TRUE(QFile::exists(in.filePath(QStringLiteral("good-001.jpg"))));
}

// --output-dir as a batch job uses it: made when missing, as `mkdir -p`
// does; refused in the command line's own words when it cannot be.
TEST_F(VelmoraConvert, TheOutputFolderIsMadeOrRefusedInItsOwnWords) {
    const QString good = file(QStringLiteral("good.ps"), OnePage);
    const QString plainFile = file(QStringLiteral("plain"), "x");
    const struct Row {
        QString folder;
        int exitCode;
        QString err;
        const char* why;
    } rows[] = {
        {out.filePath(QStringLiteral("new/and/deeper")), 0, {}, "a missing folder with parents"},
        {out.path(), 0, {}, "a folder that is there"},
        {plainFile, 2, plainFile + QStringLiteral(": Not a directory"), "a plain file"},
        {plainFile + QStringLiteral("/sub"), 2, plainFile + QStringLiteral("/sub: Not a directory"),
         "a folder below a plain file"},
    };
    for (const Row& row : rows) {
        const Ran ran = run({QStringLiteral("--output-dir"), row.folder, good});
        EXPECT_EQ(ran.exitCode, row.exitCode) << row.why << ": " << qPrintable(ran.err);
        EXPECT_EQ(QFile::exists(row.folder + QStringLiteral("/good-001.jpg")), row.exitCode == 0)
            << row.why;
        if (row.exitCode != 0) {
            EXPECT_EQ(ran.err, QStringLiteral("velmora-convert: ") + row.err + '\n') << row.why;
            EXPECT_EQ(ran.out, QString()) << row.why;
        }
        EXPECT_FALSE(ran.out.contains(QStringLiteral("Please select"))) << "the window's words";
    }
}

} // namespace

namespace {

TEST_F(VelmoraConvert, AnInterruptStopsGhostscriptAndCleansUp) {
    QTemporaryDir temp;
    file(QStringLiteral("loop.ps"), "%!PS\n{} loop\n");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temp.path());
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert"),
                  {in.filePath(QStringLiteral("loop.ps"))});
    ASSERT_TRUE(process.waitForStarted());
    // Wait until Ghostscript runs in the work folder, then interrupt.
    QDir tempDir(temp.path());
    for (int i = 0; i < 100 && tempDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
         ++i) {
        QThread::msleep(50);
    }
    QThread::msleep(300);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 128 + SIGINT);
    EXPECT_EQ(tempDir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});
    // No process keeps working in the (removed) work folder.
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget();
        EXPECT_FALSE(cwd.startsWith(temp.path())) << qPrintable(pid);
    }
}

} // namespace
