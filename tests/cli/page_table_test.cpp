// The pages each document gives, checked the same way on every system: the
// Linux build runs it with gs, the Windows build under Wine with
// gswin64c.exe, so the two give the same pages or one of them fails.
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

QString program() {
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert");
#endif
}

// Width and height from a baseline or progressive JPEG's frame header.
std::optional<QSize> jpegSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    const auto byte = [&data](qsizetype at) { return static_cast<unsigned char>(data.at(at)); };
    constexpr unsigned char kMarker = 0xFF;
    constexpr unsigned char kBaseline = 0xC0;
    constexpr unsigned char kProgressive = 0xC2;
    constexpr int kShift = 8;
    for (qsizetype at = 2; at + 8 < data.size();) {
        if (byte(at) != kMarker) {
            return std::nullopt;
        }
        const unsigned char marker = byte(at + 1);
        const int length = (byte(at + 2) << kShift) | byte(at + 3);
        if (marker == kBaseline || marker == kProgressive) {
            return QSize((byte(at + 7) << kShift) | byte(at + 8),
                         (byte(at + 5) << kShift) | byte(at + 6));
        }
        at += 2 + length;
    }
    return std::nullopt;
}

// A document of `pages` pages of the given size in points, each with a line
// and a word on it; `ending` follows the last page.
QByteArray document(int pages, int width, int height, const char* ending = "") {
    QByteArray text = "%!PS-Adobe-3.0\n<< /PageSize [" + QByteArray::number(width) + " " +
                      QByteArray::number(height) + "] >> setpagedevice\n" +
                      "/Helvetica findfont 24 scalefont setfont\n";
    for (int page = 1; page <= pages; ++page) {
        text += "36 36 moveto 150 150 lineto stroke 40 60 moveto (Page " +
                QByteArray::number(page) + ") show showpage\n";
    }
    return text + ending;
}

// Where a run works: folders of the test, or named beyond ASCII as many
// users' are ("C:\Users\Zoë\AppData\Local\Temp").
enum class Places { Ascii, TempBeyondAscii, FoldersBeyondAscii };

struct PageRow {
    const char* source;
    QByteArray content;
    int exitCode;
    QStringList pages; // names made beside nothing else, in order
    QSize size;        // of every page
    const char* why;
    Places places = Places::Ascii;
};

QString subfolder(const QTemporaryDir& dir, const char* name) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    EXPECT_TRUE(QDir().mkpath(path)) << name;
    return path;
}

class PageTable : public ::testing::TestWithParam<PageRow> {};

TEST_P(PageTable, SameOnEverySystem) {
    const PageRow& row = GetParam();
    QTemporaryDir in;
    QTemporaryDir out;
    QTemporaryDir temp;
    const bool named = row.places == Places::FoldersBeyondAscii;
    const QString inFolder = named ? subfolder(in, "Zoë's Entwürfe 日本") : in.path();
    const QString outFolder = named ? subfolder(out, "Ausgabe Ørsted") : out.path();
    const QString tempFolder = subfolder(temp, "Zoë/Temp");
    const QString source = velmora::test::WriteFile(
        inFolder + QLatin1Char('/') + QString::fromUtf8(row.source), row.content);
    QProcess run;
    if (row.places == Places::TempBeyondAscii) {
        // Set here, in the test's own process: Wine replaces a TEMP it is
        // handed from Linux with its own.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifdef Q_OS_WIN
        const QStringList names{QStringLiteral("TEMP"), QStringLiteral("TMP")};
#else
        const QStringList names{QStringLiteral("TMPDIR")};
#endif
        for (const QString& name : names) {
            environment.insert(name, QDir::toNativeSeparators(tempFolder));
        }
        run.setProcessEnvironment(environment);
    }
    run.start(program(), {QStringLiteral("--output-dir"), outFolder, source});
    ASSERT_TRUE(run.waitForFinished(120000)) << row.why;
    EXPECT_EQ(run.exitCode(), row.exitCode)
        << row.why << "\n"
        << run.readAllStandardOutput().constData() << run.readAllStandardError().constData();
    const QStringList made = QDir(outFolder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made, row.pages) << row.why;
    for (const QString& page : made) {
        EXPECT_EQ(jpegSize(outFolder + QLatin1Char('/') + page), std::optional(row.size))
            << row.why << ": " << page.toStdString();
    }
    if (row.places == Places::TempBeyondAscii) {
        EXPECT_TRUE(QDir(tempFolder).isEmpty()) << row.why << ": the work folder is removed";
    }
}

constexpr int kA4Width = 595;
constexpr int kA4Height = 842;

INSTANTIATE_TEST_SUITE_P(
    Rows, PageTable,
    ::testing::Values(PageRow{"report.ps",
                              document(2, kA4Width, kA4Height),
                              0,
                              {"report-001.jpg", "report-002.jpg"},
                              {2479, 3508},
                              "two A4 pages at 300 dpi"},
                      PageRow{"wide.eps",
                              document(1, 200, 100),
                              0,
                              {"wide-001.jpg"},
                              {833, 417},
                              "a page size of the document's own"},
                      PageRow{"Zoë's Bericht.ps",
                              document(1, kA4Width, kA4Height),
                              0,
                              {"Zoë's Bericht-001.jpg"},
                              {2479, 3508},
                              "a name beyond ASCII, with a space and a quote"},
                      PageRow{"broken.ps",
                              document(2, kA4Width, kA4Height, "nosuchcommand\n"),
                              1,
                              {"broken-001.jpg", "broken-002.jpg"},
                              {2479, 3508},
                              "pages finished before an error are kept"},
                      PageRow{"empty.ps", {}, 1, {}, {}, "an empty file gives no page"},
                      PageRow{"report.ps",
                              document(2, kA4Width, kA4Height),
                              0,
                              {"report-001.jpg", "report-002.jpg"},
                              {2479, 3508},
                              "a temp folder named beyond ASCII",
                              Places::TempBeyondAscii},
                      PageRow{"Straße.ps",
                              document(1, kA4Width, kA4Height),
                              0,
                              {"Straße-001.jpg"},
                              {2479, 3508},
                              "source and output folders named beyond ASCII",
                              Places::FoldersBeyondAscii}));

} // namespace
