// Two sources whose pages take one name in one folder: the later row's
// pages replace the earlier row's, the earlier row is named after "Done."
// and in the report, and nothing of it is left, so no name in the folder
// mixes two documents. --list says so before anything converts.
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QDir>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using velmora::test::ConvertCommand;

namespace {

// Each document draws pages of its own size, so a page tells its document.
struct Document {
    const char* path; // under the sources' folder
    int pages;
    char letter; // A, B or C: 300, 400 or 500 pixels square
};

int sideOf(char letter) {
    return 72 + 24 * (letter - 'A');
}

// "name=letter" for each page in `folder`, by its pixel size.
QStringList pagesIn(const QString& folder) {
    QStringList found;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        const int pixels = QImageReader(folder + QLatin1Char('/') + name).size().width();
        found.append(name + QLatin1Char('=') + QChar('A' + (pixels * 72 / 300 - 72) / 24));
    }
    return found;
}

TEST(PageNameClash, TheLaterRowWinsAndTheEarlierIsNamed) {
    const struct Row {
        const char* why;
        std::vector<Document> documents; // in list order
        bool intoFolder;
        // Relative to the output folder (or the sources' folder beside them).
        QStringList pages;
        // "earlier>later": rows (counted from 0) whose pages a later one replaced.
        QStringList replaced;
    } rows[] = {
        {"same prefix in one folder, the earlier row longer",
         {{"ch1/intro.ps", 2, 'A'}, {"ch2/intro.ps", 1, 'B'}},
         true,
         {"intro-001.jpg=B"},
         {"0>1"}},
        {"same prefix beside the sources in two folders: no clash",
         {{"ch1/intro.ps", 2, 'A'}, {"ch2/intro.ps", 1, 'B'}},
         false,
         {"ch1/intro-001.jpg=A", "ch1/intro-002.jpg=A", "ch2/intro-001.jpg=B"},
         {}},
        {"report.ps beside report.final.ps: one prefix, one folder",
         {{"d/report.ps", 1, 'A'}, {"d/report.final.ps", 2, 'B'}},
         false,
         {"d/report-001.jpg=B", "d/report-002.jpg=B"},
         {"0>1"}},
        {"the earlier row shorter",
         {{"a/x.ps", 1, 'A'}, {"b/x.ps", 3, 'B'}},
         true,
         {"x-001.jpg=B", "x-002.jpg=B", "x-003.jpg=B"},
         {"0>1"}},
        {"three rows with one prefix",
         {{"a/i.ps", 3, 'A'}, {"b/i.ps", 1, 'B'}, {"c/i.ps", 2, 'C'}},
         true,
         {"i-001.jpg=C", "i-002.jpg=C"},
         {"0>1", "1>2"}},
        {"one source listed twice: no clash",
         {{"a/x.ps", 2, 'A'}, {"a/x.ps", 2, 'A'}},
         true,
         {"x-001.jpg=A", "x-002.jpg=A"},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        QTemporaryDir in, out, temp;
        QStringList sources;
        for (const Document& document : row.documents) {
            sources.append(in.filePath(QLatin1String(document.path)));
            velmora::test::WriteFile(sources.back(), velmora::test::SquarePages(
                                                         document.pages, sideOf(document.letter)));
        }
        const QString report = temp.filePath(QStringLiteral("report.jsonl"));
        const QStringList place = row.intoFolder
                                      ? QStringList{QStringLiteral("--output-dir"), out.path()}
                                      : QStringList{};
        QStringList said;
        for (const QString& pair : row.replaced) {
            const QString earlier = sources[pair.section('>', 0, 0).toInt()];
            const QString later = sources[pair.section('>', 1, 1).toInt()];
            said.append(earlier +
                        QStringLiteral(": its pages were replaced by those of %1 (same "
                                       "names in %2)")
                            .arg(later, row.intoFolder ? out.path() : QFileInfo(later).path()));
        }

        ConvertCommand list(place + QStringList{QStringLiteral("--list")} + sources, temp.path());
        list.run();
        EXPECT_EQ(list.outLines(), sources) << "the list itself is only paths";
        QStringList marked;
        for (const QString& line : said) {
            marked.append(QStringLiteral("velmora-convert: ") + line);
        }
        EXPECT_EQ(list.err.split('\n', Qt::SkipEmptyParts), marked) << "said before converting";

        ConvertCommand run(place + QStringList{QStringLiteral("--report"), report} + sources,
                           temp.path());
        run.run();
        EXPECT_EQ(run.exitCode, said.isEmpty() ? 0 : 1) << qPrintable(run.err);
        EXPECT_EQ(run.outLines(), QStringList{QStringLiteral("Done.")} + said);
        QStringList left;
        const QString base = row.intoFolder ? out.path() : in.path();
        for (const QString& page : row.pages) {
            const QString folder = QFileInfo(base + QLatin1Char('/') + page).path();
            for (const QString& found : pagesIn(folder)) {
                const QString relative = QDir(base).relativeFilePath(folder + '/' + found);
                if (!left.contains(relative)) {
                    left.append(relative);
                }
            }
        }
        EXPECT_EQ(left, row.pages) << "each name is the page of one document";

        // The last line of each source says how it ended.
        QMap<QString, QJsonObject> last;
        for (const QByteArray& line : velmora::test::ReadFile(report).split('\n')) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            if (!object.isEmpty()) {
                last.insert(object[QStringLiteral("source")].toString(), object);
            }
        }
        for (const QString& pair : row.replaced) {
            const QJsonObject line = last.value(sources[pair.section('>', 0, 0).toInt()]);
            EXPECT_EQ(line[QStringLiteral("replaced_by")].toString(),
                      sources[pair.section('>', 1, 1).toInt()]);
            EXPECT_TRUE(line[QStringLiteral("failure")].toString().startsWith("its pages were"));
            EXPECT_EQ(line[QStringLiteral("pages")].toArray(), QJsonArray{});
        }
    }
}

} // namespace
