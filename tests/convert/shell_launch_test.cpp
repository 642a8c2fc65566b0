#include "convert/run_cancellation.h"
#include "convert/shell_launch.h"
#include "support/text.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

using namespace velmora;
using test::q;
using namespace std::chrono_literals;

namespace {

constexpr qint64 kBase = -2147221504; // 0x80040000 as a signed 32-bit number

QString quoted(const QString& path) {
    return QLatin1Char('"') + path + QLatin1Char('"');
}

QString expectedSource() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QStringLiteral(".GShell");
}

// A private folder holding the scripts of one test.
class Sandbox {
public:
    Sandbox() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    QString write(const QString& name, const QByteArray& text) const {
        QFile out(file(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << out.errorString().toStdString();
        out.write(text);
        return out.fileName();
    }

    QByteArray read(const QString& name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll().trimmed() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

// The living (not yet dead, i.e. not zombie) processes of a process group.
std::vector<int> liveMembersOf(int group) {
    std::vector<int> members;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric) {
            continue;
        }
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray text = stat.readAll();
        // After the command name in parentheses: state, parent, group, ...
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z" && fields[2].toInt() == group) {
            members.push_back(pid);
        }
    }
    return members;
}

bool isAlive(int pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
}

// ---- Failure classification ----------------------------------------------

struct ClassRow {
    int code;
    qint64 number;
    const char* message;
    const char* why;
};

void PrintTo(const ClassRow& row, std::ostream* os) {
    *os << row.code << ": " << row.why;
}

std::vector<ClassRow> classificationRows() {
    std::vector<ClassRow> rows{
        {0, 7, "Out of memory", "out of resources"},
        {2, 53, "File not found", "file not found"},
        {3, 76, "Path not found", "path not found"},
        {5, 75, "Path/file access error", "access denied"},
        {8, 7, "Out of memory", "out of memory"},
        {11, kBase + 1048 + 11, "The executable file is invalid or corrupt", "bad program"},
        {26, 75, "A sharing violation occurred.", "sharing violation"},
        {27, kBase + 1048 + 27, "This file type does not have a valid file association.",
         "incomplete association"},
        {28, 286, "The file could not be opened due to time out. Please try again in a moment.",
         "DDE time-out"},
        {29, 285,
         "The file could not be opened because the DDE transaction failed. Please try again in a "
         "moment.",
         "DDE failed"},
        {30, 285,
         "The file could not be opened because the target application is busy. Please try again "
         "in a moment.",
         "DDE busy"},
        {31, kBase + 1048 + 31, "No application is associated with this file type.",
         "no association"},
        {32, 48, "The specified dynamic-link library was not found.", "library not found"},
    };
    for (int code : {1, 4, 6, 7, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}) {
        rows.push_back({code, kBase + 1048 + code,
                        "An error occurred occurred whilst trying to open or print the selected "
                        "file.",
                        "other code: generic message on the user-error base"});
    }
    return rows;
}

class ClassifyShellFailureTest : public ::testing::TestWithParam<ClassRow> {};

TEST_P(ClassifyShellFailureTest, GivesNumberAndMessage) {
    const ClassRow& row = GetParam();
    const ShellError error = ClassifyShellFailure(row.code);
    EXPECT_EQ(error.number, row.number);
    EXPECT_EQ(error.description, q(row.message));
}

INSTANTIATE_TEST_SUITE_P(Table, ClassifyShellFailureTest,
                         ::testing::ValuesIn(classificationRows()));

TEST(ClassifyShellFailure, UserErrorBaseIsTheSignedThirtyTwoBitValue) {
    // 0x80040418 + 11 read as a signed 32-bit number, not as 2147745803.
    EXPECT_EQ(ClassifyShellFailure(11).number, -2147220445);
}

// ---- Show style ------------------------------------------------------------

struct StyleRow {
    const char* file;
    int style;
    const char* parameters;
    const char* folder;
    int expected;
    const char* why;
};

void PrintTo(const StyleRow& row, std::ostream* os) {
    *os << row.why;
}

class EffectiveShowStyleTest : public ::testing::TestWithParam<StyleRow> {};

TEST_P(EffectiveShowStyleTest, Rows) {
    const StyleRow& row = GetParam();
    EXPECT_EQ(EffectiveShowStyle(q(row.file), row.style, q(row.parameters), q(row.folder)),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EffectiveShowStyleTest,
    ::testing::Values(
        StyleRow{"/opt/gs/GS.EXE", 3, "-q", "/tmp/ps/", 0, "program file starts hidden"},
        StyleRow{"\"/opt/gs/gswin32c.Exe\"", 5, "", "/tmp/ps/", 0, "any letter case"},
        StyleRow{"/a/tool.exe.sh", 4, "", "/w", 0, "\".exe\" anywhere in the name"},
        StyleRow{"/tmp/ps/pstopdf.sh", 0, "", "/tmp/ps/", 0, "hidden kept"},
        StyleRow{"/tmp/ps/pstopdf.sh", 6, "-x", "", 6, "parameters alone keep the style"},
        StyleRow{"/tmp/ps/pstopdf.sh", 0, "", "", 1, "no parameters, no folder: shown normally"},
        StyleRow{"/opt/gs/gs.exe", 0, "", "", 1,
                 "shown normally even for a program file: the style is not used then"}));

// ---- Launch failures -------------------------------------------------------

void expectFailure(const ShellWaitResult& result, qint64 number, const char* message) {
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->number, number);
    EXPECT_EQ(result.error->description, q(message));
    EXPECT_EQ(result.error->source, expectedSource());
    EXPECT_FALSE(result.timedOut);
    EXPECT_FALSE(result.cancelled);
}

TEST(ShellAndWait, MissingScriptFailsAtOnce) {
    Sandbox box;
    QElapsedTimer clock;
    clock.start();
    const ShellWaitResult result =
        ShellAndWait(quoted(box.file(q("pstopdf.sh"))), 0, box.path() + QLatin1Char('/'));
    EXPECT_LT(clock.elapsed(), 50);
    expectFailure(result, 53, "File not found");
}

TEST(ShellAndWait, MissingWorkingFolderIsPathNotFound) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), "exit 0\n");
    expectFailure(ShellAndWait(quoted(script), 0, box.file(q("gone/"))), 76, "Path not found");
    expectFailure(ShellAndWait(quoted(script), 0, script), 76, "Path not found");
}

TEST(ShellAndWait, RefusedAccessIsAccessError) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    Sandbox box;
    const QString script = box.write(q("run.sh"), "exit 0\n");
    ASSERT_EQ(::chmod(QFile::encodeName(script).constData(), 0), 0);
    expectFailure(ShellAndWait(quoted(script), 0, box.path()), 75, "Path/file access error");

    const QString locked = box.file(q("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    const QString other = box.write(q("other.sh"), "exit 0\n");
    expectFailure(ShellAndWait(quoted(other), 0, locked), 75, "Path/file access error");
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}

TEST(ShellOpen, VerbWithoutStandInIsNoAssociation) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), "touch ran\n");
    const ShellOpenResult result = ShellOpen(quoted(script), 0, QString(), box.path(), q("print"));
    EXPECT_EQ(result.code, 31);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->number, kBase + 1048 + 31);
    EXPECT_EQ(result.error->source, expectedSource());
}

// ---- Running scripts -------------------------------------------------------

struct ExitRow {
    const char* script;
    int exitCode;
    const char* why;
};

void PrintTo(const ExitRow& row, std::ostream* os) {
    *os << row.why;
}

class ShellAndWaitExitTest : public ::testing::TestWithParam<ExitRow> {};

TEST_P(ShellAndWaitExitTest, ReturnsTheExitStatus) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), GetParam().script);
    const ShellWaitResult result = ShellAndWait(quoted(script), 0, box.path());
    EXPECT_FALSE(result.error.has_value());
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShellAndWaitExitTest,
    ::testing::Values(ExitRow{"exit 0\n", 0, "success"}, ExitRow{"exit 3\n", 3, "failure code"},
                      ExitRow{"exit 255\n", 255, "largest status"},
                      ExitRow{"kill -TERM $$\n", 143, "ended by a signal: 128 + signal"}));

TEST(ShellAndWait, NoticesTheEndAtOnce) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), "exit 3\n");
    // The best of three runs, so that a busy machine cannot fail the test;
    // a polling wait would need at least one full 100 ms cycle every time.
    qint64 fastest = std::numeric_limits<qint64>::max();
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        const ShellWaitResult result =
            ShellAndWait(quoted(script), 0, box.path() + QLatin1Char('/'));
        fastest = std::min(fastest, clock.elapsed());
        EXPECT_EQ(result.exitCode, 3);
    }
    EXPECT_LT(fastest, 80);
}

TEST(ShellAndWait, RunsInTheWorkingFolder) {
    Sandbox box;
    ASSERT_TRUE(QDir(box.path()).mkdir(q("work")));
    const QString work = box.file(q("work"));
    const QString script = box.write(q("run.sh"), "pwd > where.txt\n");
    ShellAndWait(quoted(script), 0, work + QLatin1Char('/'));
    EXPECT_EQ(QString::fromLocal8Bit(box.read(q("work/where.txt"))),
              QFileInfo(work).canonicalFilePath());

    // A relative script name is found in the working folder, where it runs.
    box.write(q("work/here.sh"), "echo here > here.txt\n");
    const ShellWaitResult relative = ShellAndWait(q("here.sh"), 0, work);
    EXPECT_FALSE(relative.error.has_value());
    EXPECT_EQ(box.read(q("work/here.txt")), "here");
}

TEST(ShellAndWait, HostileNamesAreNeverShellText) {
    Sandbox box;
    const QString folderName = q("a b \"q\" $(touch pwned1) ; x 'y' `touch pwned2`");
    ASSERT_TRUE(QDir(box.path()).mkdir(folderName));
    const QString folder = box.file(folderName);
    const QString script =
        box.write(folderName + q("/s p'a\"c$(touch pwned3);e&.sh"), "pwd > out.txt\n");

    const ShellWaitResult result = ShellAndWait(quoted(script), 0, folder + QLatin1Char('/'));
    EXPECT_FALSE(result.error.has_value());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(QString::fromLocal8Bit(box.read(folderName + q("/out.txt"))),
              QFileInfo(folder).canonicalFilePath());
    for (const QString& where : {box.path(), folder, QDir::currentPath()}) {
        EXPECT_TRUE(QDir(where).entryList({q("pwned*")}).isEmpty()) << where.toStdString();
    }
}

TEST(ShellAndWait, GivenEnvironmentIsTheChildsWhole) {
    Sandbox box;
    const QString script =
        box.write(q("run.sh"), "printf '%s' \"$VELMORA_PROBE\"; printf '[%s]' \"$HOME\"\n");
    QProcessEnvironment environment;
    environment.insert(q("VELMORA_PROBE"), q("a b;$x"));
    LaunchOptions options;
    options.environment = environment;
    const ShellWaitResult result = ShellAndWait(quoted(script), 0, box.path(), options);
    EXPECT_EQ(result.output, "a b;$x[]");
}

TEST(ShellAndWait, CapturesMergedOutputTail) {
    Sandbox box;
    const QString merged = box.write(q("merged.sh"), "printf out; printf err >&2\n");
    const QByteArray output = ShellAndWait(quoted(merged), 0, box.path()).output;
    EXPECT_TRUE(output.contains("out"));
    EXPECT_TRUE(output.contains("err"));

    const QString lots =
        box.write(q("lots.sh"), "printf START; head -c 200000 /dev/zero | tr '\\0' x; "
                                "printf END\n");
    const QByteArray tail = ShellAndWait(quoted(lots), 0, box.path()).output;
    EXPECT_EQ(tail.size(), kShellOutputTailBytes);
    EXPECT_TRUE(tail.endsWith("xEND"));
    EXPECT_FALSE(tail.contains("START"));
}

// What a stopped script left behind: its own process group must be empty.
struct StoppedGroup {
    int leader = 0;
    int group = 0;
    int background = 0;
};

const QByteArray kLingeringScript = "set -- $(cat /proc/$$/stat)\n"
                                    "echo \"$$ $5\" > leader\n"
                                    "sleep 1000 &\n"
                                    "echo $! > background\n"
                                    "sleep 1000\n";

StoppedGroup readStopped(const Sandbox& box) {
    StoppedGroup stopped;
    const QList<QByteArray> leader = box.read(q("leader")).split(' ');
    if (leader.size() == 2) {
        stopped.leader = leader[0].toInt();
        stopped.group = leader[1].toInt();
    }
    stopped.background = box.read(q("background")).toInt();
    return stopped;
}

void expectGroupGone(const StoppedGroup& stopped) {
    ASSERT_GT(stopped.leader, 0);
    EXPECT_EQ(stopped.group, stopped.leader) << "the child leads a group of its own";
    EXPECT_NE(stopped.group, static_cast<int>(::getpgrp()));
    ASSERT_GT(stopped.background, 0);
    EXPECT_FALSE(isAlive(stopped.background)) << "background sleep survived";
    EXPECT_TRUE(liveMembersOf(stopped.group).empty());
}

TEST(ShellAndWait, TimeLimitStopsTheWholeGroup) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), kLingeringScript);
    LaunchOptions options;
    options.timeLimit = 300ms;
    QElapsedTimer clock;
    clock.start();
    const ShellWaitResult result = ShellAndWait(quoted(script), 0, box.path(), options);
    const qint64 elapsed = clock.elapsed();

    EXPECT_TRUE(result.timedOut);
    EXPECT_FALSE(result.cancelled);
    EXPECT_FALSE(result.error.has_value());
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 1500);
    expectGroupGone(readStopped(box));
}

TEST(ShellAndWait, CancellationStopsTheWholeGroup) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), kLingeringScript);
    RunCancellation cancellation;
    LaunchOptions options;
    options.cancellation = &cancellation;
    QTimer::singleShot(150, &cancellation, [&] { cancellation.cancel(); });
    QElapsedTimer clock;
    clock.start();
    const ShellWaitResult result = ShellAndWait(quoted(script), 0, box.path(), options);

    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.timedOut);
    EXPECT_LT(clock.elapsed(), 1500);
    expectGroupGone(readStopped(box));
}

TEST(ShellAndWait, AnEarlierCancelStartsNothing) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), "touch ran\n");
    RunCancellation cancellation;
    cancellation.cancel();
    LaunchOptions options;
    options.cancellation = &cancellation;
    const ShellWaitResult result = ShellAndWait(quoted(script), 0, box.path(), options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(QFile::exists(box.file(q("ran"))));
}

TEST(ShellAndWait, WindowEventsRunDuringTheWait) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), "sleep 0.3\n");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    ShellAndWait(quoted(script), 0, box.path());
    // About 15 ticks in 300 ms; a 100 ms polling wait would allow at most 3.
    EXPECT_GE(ticks, 8);
}

TEST(ShellAndWait, WindowEventsKeepRunningWhileTheApplicationQuits) {
    // Once an exit has been asked for, a nested event loop returns at once;
    // the wait must still let events run instead of blocking until the end.
    Sandbox box;
    const QString script = box.write(q("run.sh"), "sleep 0.3\n");
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ShellWaitResult result;
    QTimer::singleShot(0, [&] {
        QCoreApplication::exit(0);
        ticker.start();
        result = ShellAndWait(quoted(script), 0, box.path() + QLatin1Char('/'));
        ticker.stop();
    });
    QCoreApplication::exec();
    EXPECT_FALSE(result.error.has_value());
    EXPECT_GE(ticks, 8);
}

TEST(ShellAndWait, MemoryLimitBindsTheChild) {
    Sandbox box;
    const QString script = box.write(q("run.sh"), "ulimit -v; ulimit -H -v\n");
    LaunchOptions limited;
    limited.memoryLimitBytes = 32 * 1024 * 1024;
    EXPECT_EQ(ShellAndWait(quoted(script), 0, box.path(), limited).output, "32768\n32768\n");
    EXPECT_FALSE(ShellAndWait(quoted(script), 0, box.path()).output.startsWith("32768"));
}

// ---- ShellOpen -------------------------------------------------------------

TEST(ShellOpen, StartsAScriptWithoutWaiting) {
    Sandbox box;
    const QString script =
        box.write(q("run.sh"), "sleep 0.2; printf '%s|%s|%s' \"$#\" \"$1\" \"$2\" > args\n");
    QElapsedTimer clock;
    clock.start();
    const ShellOpenResult result =
        ShellOpen(quoted(script), 0, q("one \"two; $(three)\""), box.path(), q("open"));
    EXPECT_LT(clock.elapsed(), 150);
    EXPECT_GT(result.code, 32);
    EXPECT_FALSE(result.error.has_value());

    while (!QFile::exists(box.file(q("args"))) && clock.elapsed() < 3000) {
        QThread::msleep(20);
    }
    QThread::msleep(20);
    EXPECT_EQ(box.read(q("args")), "2|one|two; $(three)");
}

TEST(ShellOpen, MissingDocumentIsFileNotFound) {
    Sandbox box;
    const ShellOpenResult result =
        ShellOpen(quoted(box.file(q("nothing.pdf"))), 5, QString(), QString(), QString());
    EXPECT_EQ(result.code, 2);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->number, 53);
}

TEST(ShellOpen, WithoutADesktopOpenerNothingIsAssociated) {
    Sandbox box;
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(box.path()));
    const ShellOpenResult folder = ShellOpen(quoted(box.path() + q("/")), 5, QString(), q("/"), {});
    const ShellOpenResult page = ShellOpen(q("https://example.org/"), 1, QString(), QString(), {});
    qputenv("PATH", savedPath);

    EXPECT_EQ(folder.code, 31);
    EXPECT_EQ(page.code, 31);
    ASSERT_TRUE(folder.error.has_value());
    EXPECT_EQ(folder.error->description, q("No application is associated with this file type."));
}

} // namespace
