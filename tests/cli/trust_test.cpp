// What a run of velmora-convert may reach and leave behind: Ghostscript in a
// sandbox when one works, a notice when none does, pages with ordinary modes,
// and nothing left running or stored after a signal.
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

const QByteArray OnePage =
    "%!PS\n<< /PageSize [72 72] >> setpagedevice 0 0 moveto 72 72 lineto stroke showpage\n";
constexpr QFileDevice::Permissions Executable =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

QString script(const QString& path, const QString& text) {
    WriteFile(path, text.toUtf8());
    EXPECT_TRUE(QFile::setPermissions(path, Executable));
    return path;
}

void putFirstOnPath(ConvertCommand& command, const QString& folder) {
    command.environment.insert(QStringLiteral("PATH"),
                               folder + QLatin1Char(':') +
                                   command.environment.value(QStringLiteral("PATH")));
}

TEST(Trust, GhostscriptReachesNeitherHomeNorSourceFolderNorNetwork) {
    if (QStandardPaths::findExecutable(QStringLiteral("bwrap")).isEmpty()) {
        GTEST_SKIP() << "bwrap is not installed";
    }
    QTemporaryDir in, home, bin, temp;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString source = WriteFile(in.filePath(QStringLiteral("doc.ps")), OnePage);
    const QString intoHome = home.filePath(QStringLiteral("from-gs"));
    const QString beside = in.filePath(QStringLiteral("from-gs"));
    const QString gs = bin.filePath(QStringLiteral("gs"));
    ConvertCommand command({source}, temp.path());
    command.environment.insert(QStringLiteral("HOME"), home.path());
    putFirstOnPath(command, bin.path());

    // The gs on PATH is the one that runs: a broken one fails the file.
    script(gs, QStringLiteral("#!/bin/sh\nexit 1\n"));
    ConvertCommand broken({source}, temp.path());
    broken.environment = command.environment;
    broken.run();
    ASSERT_EQ(broken.exitCode, 1) << qPrintable(broken.out);

    script(gs, QStringLiteral("#!/bin/bash\necho x > '%1'\necho x > '%2'\n"
                              "(exec 3<>/dev/tcp/127.0.0.1/%3 && echo x >&3)\n"
                              "exec /usr/bin/gs \"$@\"\n")
                   .arg(intoHome, beside)
                   .arg(server.serverPort()));
    // Unconfined, the stand-in does all three.
    ASSERT_EQ(QProcess::execute(gs, {QStringLiteral("--version")}), 0);
    ASSERT_TRUE(QFile::exists(intoHome) && QFile::exists(beside));
    ASSERT_TRUE(server.waitForNewConnection(1000));
    delete server.nextPendingConnection();
    QFile::remove(intoHome);
    QFile::remove(beside);

    command.run();
    EXPECT_EQ(command.exitCode, 0) << qPrintable(command.out + command.err);
    EXPECT_TRUE(IsJpeg(in.filePath(QStringLiteral("doc-001.jpg"))));
    EXPECT_FALSE(QFile::exists(intoHome)) << "Ghostscript wrote into the user's home";
    EXPECT_FALSE(QFile::exists(beside)) << "Ghostscript wrote beside the source";
    EXPECT_FALSE(server.waitForNewConnection(0)) << "Ghostscript reached the network";
}

TEST(Trust, AGhostscriptPastSafeModeCannotLinkItsPagesToTheUsersFiles) {
    // A stand-in that got past safe mode: its page is a link
    // to a file of the user's, which the sandbox does not show it.
    QTemporaryDir in, secret, bin, temp;
    const QString secretFile = WriteFile(secret.filePath(QStringLiteral("id_rsa")), "SECRET");
    script(bin.filePath(QStringLiteral("gs")),
           QStringLiteral("#!/bin/sh\n/usr/bin/gs \"$@\"\nstatus=$?\n"
                          "for f in current-001.jpg; do [ -e \"$f\" ] && "
                          "rm -f \"$f\" && ln -s '%1' \"$f\"; done\nexit $status\n")
               .arg(secretFile));
    const QString source = WriteFile(in.filePath(QStringLiteral("doc.ps")), OnePage);
    ConvertCommand command({source}, temp.path());
    putFirstOnPath(command, bin.path());
    command.run();
    EXPECT_EQ(command.exitCode, 1) << qPrintable(command.out + command.err);
    EXPECT_NE(ReadFile(in.filePath(QStringLiteral("doc-001.jpg"))), QByteArray("SECRET"));
    EXPECT_TRUE(command.out.contains(source)) << "the file is named after Done.";
}

TEST(Trust, WithoutASandboxSaferAloneConvertsAndSaysSoOnce) {
    QTemporaryDir in, bin, temp;
    script(bin.filePath(QStringLiteral("bwrap")),
           QStringLiteral("#!/bin/sh\necho 'bwrap: No permissions to create new namespace' >&2\n"
                          "exit 1\n"));
    ConvertCommand command({WriteFile(in.filePath(QStringLiteral("a.ps")), OnePage),
                            WriteFile(in.filePath(QStringLiteral("b.ps")), OnePage)},
                           temp.path());
    putFirstOnPath(command, bin.path());
    command.run();
    EXPECT_EQ(command.exitCode, 0) << qPrintable(command.out + command.err);
    EXPECT_TRUE(IsJpeg(in.filePath(QStringLiteral("a-001.jpg"))));
    EXPECT_TRUE(IsJpeg(in.filePath(QStringLiteral("b-001.jpg"))));
    EXPECT_EQ(command.err.split(QLatin1Char('\n'))
                  .filter(QStringLiteral("sandbox"), Qt::CaseInsensitive)
                  .size(),
              1)
        << qPrintable(command.err);
}

TEST(Trust, PagesAreOrdinaryFiles) {
    constexpr int NoPage = 0, Link = -1, AnyMode = 0;
    const struct {
        const char* why;
        const char* umask;
        int before; // what already has the page's name: NoPage, Link or a page of that mode
        int mode;
    } rows[] = {
        {"a new page is the user's ordinary file", "022", NoPage, 0644},
        {"a group-shared umask is honoured", "002", NoPage, 0664},
        {"a replaced page keeps the mode its owner chose", "022", 0640, 0640},
        {"a link of the page's name is replaced, never followed", "022", Link, AnyMode},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        QTemporaryDir in, out, temp;
        const QString page = out.filePath(QStringLiteral("doc-001.jpg"));
        const QString target = WriteFile(in.filePath(QStringLiteral("target")), "untouched");
        if (row.before == Link) {
            ASSERT_TRUE(QFile::link(target, page));
        } else if (row.before != NoPage) {
            WriteFile(page, "an older page");
            ASSERT_EQ(::chmod(QFile::encodeName(page).constData(), row.before), 0);
        }
        ConvertCommand command({QStringLiteral("--output-dir"), out.path(),
                                WriteFile(in.filePath(QStringLiteral("doc.ps")), OnePage)},
                               temp.path());
        command.umask = QLatin1String(row.umask);
        command.run();
        EXPECT_EQ(command.exitCode, 0) << qPrintable(command.err);
        EXPECT_FALSE(QFileInfo(page).isSymLink());
        EXPECT_TRUE(IsJpeg(page));
        EXPECT_EQ(ReadFile(target), QByteArray("untouched"));
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(page).constData(), &status), 0);
        if (row.mode != AnyMode) {
            EXPECT_EQ(QString::number(status.st_mode & 07777, 8), QString::number(row.mode, 8));
        }
    }
}

TEST(Trust, ASignalEndsTheRunWithItsGhostscriptAndItsFolder) {
    // Whatever the run leaves running becomes our child, so it can be seen.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    constexpr int StopLimitMs = 2000, StartLimitMs = 10000, PollMs = 50;
    const struct {
        const char* why;
        int signal;
    } rows[] = {
        {"Ctrl+C in the terminal", SIGINT},
        {"kill, a logout or a service stop", SIGTERM},
        {"the terminal was closed", SIGHUP},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        QTemporaryDir in, temp;
        ConvertCommand command(
            {QStringLiteral("--timeout"), QStringLiteral("600"),
             WriteFile(in.filePath(QStringLiteral("loop.ps")), "%!PS\n{} loop\n")},
            temp.path());
        command.start();
        const auto ghostscripts = [] {
            return LiveDescendants().filter(QRegularExpression(QStringLiteral(" gs$")));
        };
        QElapsedTimer clock;
        for (clock.start(); ghostscripts().isEmpty() && clock.elapsed() < StartLimitMs;) {
            QThread::msleep(PollMs);
        }
        ASSERT_FALSE(ghostscripts().isEmpty()) << qPrintable(command.err);
        QThread::msleep(PollMs * 4); // Ghostscript is inside the loop now
        ::kill(static_cast<pid_t>(command.process.processId()), row.signal);
        command.finish(StopLimitMs);
        EXPECT_TRUE(command.finished) << "still running " << StopLimitMs << " ms after the signal";
        EXPECT_EQ(command.exitCode, 128 + row.signal);
        for (clock.restart(); !LiveDescendants().isEmpty() && clock.elapsed() < StopLimitMs;) {
            QThread::msleep(PollMs);
        }
        const QStringList left = LiveDescendants();
        EXPECT_EQ(left, QStringList{}) << "Ghostscript outlived the run";
        for (const QString& process : left) {
            ::kill(static_cast<pid_t>(process.section(QLatin1Char(' '), 0, 0).toLongLong()),
                   SIGKILL);
        }
        EXPECT_EQ(FolderEntries(temp.path()), QStringList{});
    }
}

} // namespace
