// What Ghostscript may reach through a run of velmora-convert: nothing of
// the user's in a sandbox when one works, a notice when none does, and
// pages that are ordinary files of the user's, never links to their files.
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

// A program of the test's, first on the command's PATH, standing in for `name`.
QString standIn(ConvertCommand& command, const QTemporaryDir& bin, const char* name,
                const QString& script) {
    const QString path = WriteFile(bin.filePath(QLatin1String(name)), script.toUtf8());
    EXPECT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    command.environment.insert("PATH", bin.path() + ':' + command.environment.value("PATH"));
    return path;
}

TEST(Trust, GhostscriptReachesNeitherHomeNorSourceFolderNorNetwork) {
    if (QStandardPaths::findExecutable(QStringLiteral("bwrap")).isEmpty()) {
        GTEST_SKIP() << "needs bwrap (Debian package bubblewrap) to confine Ghostscript";
    }
    QTemporaryDir in, home, bin, temp;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString source = WriteFile(in.filePath("doc.ps"), SquarePages(1));
    const QString intoHome = home.filePath("from-gs"), beside = in.filePath("from-gs");
    ConvertCommand command({source}, temp.path());
    command.environment.insert("HOME", home.path());
    const QString gs = standIn(command, bin, "gs", "#!/bin/sh\nexit 1\n");
    ConvertCommand broken({source}, temp.path());
    broken.environment = command.environment;
    broken.run();
    ASSERT_EQ(broken.exitCode, 1) << "the gs on PATH is the one that runs";

    // Unconfined, it does all three before it converts: the run proves something.
    WriteFile(gs, QStringLiteral(
                      "#!/bin/bash\necho x > '%1'\necho x > '%2'\n"
                      "(exec 3<>/dev/tcp/127.0.0.1/%3 && echo x >&3)\nexec /usr/bin/gs \"$@\"\n")
                      .arg(intoHome, beside)
                      .arg(server.serverPort())
                      .toUtf8());
    ASSERT_EQ(QProcess::execute(gs, {"--version"}), 0);
    ASSERT_TRUE(QFile::remove(intoHome) && QFile::remove(beside));
    ASSERT_TRUE(server.waitForNewConnection(0)) << "its connection is made before it ends";
    delete server.nextPendingConnection();

    command.run();
    EXPECT_EQ(command.exitCode, 0) << qPrintable(command.out + command.err);
    EXPECT_TRUE(IsJpeg(in.filePath("doc-001.jpg")));
    EXPECT_FALSE(QFile::exists(intoHome)) << "Ghostscript wrote into the user's home";
    EXPECT_FALSE(QFile::exists(beside)) << "Ghostscript wrote beside the source";
    EXPECT_FALSE(server.waitForNewConnection(0)) << "Ghostscript reached the network";
}

TEST(Trust, AGhostscriptPastSafeModeCannotLinkItsPageToTheUsersFiles) {
    QTemporaryDir in, secret, bin, temp;
    const QString secretFile = WriteFile(secret.filePath("id_rsa"), "SECRET");
    const QString source = WriteFile(in.filePath("doc.ps"), SquarePages(1));
    ConvertCommand command({source}, temp.path());
    standIn(command, bin, "gs",
            QStringLiteral("#!/bin/sh\n/usr/bin/gs \"$@\"\nstatus=$?\n[ -e current-001.jpg ] && "
                           "rm current-001.jpg && ln -s '%1' current-001.jpg\nexit $status\n")
                .arg(secretFile));
    command.run();
    EXPECT_EQ(command.exitCode, 1) << qPrintable(command.out + command.err);
    EXPECT_NE(ReadFile(in.filePath("doc-001.jpg")), "SECRET");
    EXPECT_TRUE(command.out.startsWith("Done.\n" + source + ": ")) << qPrintable(command.out);
}

// Without a working bwrap, Ghostscript's safe mode alone converts, and the
// run says so once; and pages are ordinary files of the user's either way.
TEST(Trust, WithoutASandboxPagesAreOrdinaryFilesOfTheUsers) {
    QTemporaryDir in, out, bin, temp;
    const QString target = WriteFile(in.filePath("target"), "untouched");
    const auto page = [&](const char* name) { return out.filePath(name + QString("-001.jpg")); };
    WriteFile(page("kept"), "an older page");
    ASSERT_EQ(::chmod(qPrintable(page("kept")), 0640), 0);
    ASSERT_TRUE(QFile::link(target, page("linked")));
    constexpr int AnyMode = 0;
    const struct {
        const char* name;
        int mode;
        const char* why;
    } rows[] = {
        {"new", 0664, "a new page honours a group-shared umask"},
        {"kept", 0640, "a replaced page keeps the mode its owner chose"},
        {"linked", AnyMode, "a link of the page's name is replaced, never followed"},
    };
    QStringList arguments{"--output-dir", out.path()};
    for (const auto& row : rows) {
        arguments << WriteFile(in.filePath(row.name + QString(".ps")), SquarePages(1));
    }
    ConvertCommand command(arguments, temp.path());
    standIn(command, bin, "bwrap",
            "#!/bin/sh\necho 'bwrap: No permissions to create new namespace' >&2\nexit 1\n");
    const mode_t umask = ::umask(002);
    command.start();
    ::umask(umask);
    command.finish();
    EXPECT_EQ(command.exitCode, 0) << qPrintable(command.out + command.err);
    EXPECT_EQ(command.err.count("no sandbox"), 1) << qPrintable(command.err);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_FALSE(QFileInfo(page(row.name)).isSymLink());
        EXPECT_TRUE(IsJpeg(page(row.name)));
        struct stat status {};
        ASSERT_EQ(::stat(qPrintable(page(row.name)), &status), 0);
        EXPECT_TRUE(row.mode == AnyMode || int(status.st_mode & 07777) == row.mode)
            << std::oct << (status.st_mode & 07777);
    }
    EXPECT_EQ(ReadFile(target), "untouched");
}

} // namespace
