// Shards of one input list, run side by side as separate machines would run
// them, against one plain run; and the report each of them writes.
#include "support/convert_command.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::ConvertCommand;
using velmora::test::ReadFile;
using velmora::test::WriteFile;

namespace {

constexpr int kShards = 3;

QByteArray page(int number) {
    return "%%Page: " + QByteArray::number(number) + ' ' + QByteArray::number(number) +
           "\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (" +
           QByteArray::number(number) + ") show showpage\n";
}

QByteArray document(int count, const char* pagesComment, const QByteArray& tail = {}) {
    QByteArray doc = "%!PS-Adobe-3.0\n" + QByteArray(pagesComment) + "%%EndComments\n";
    for (int i = 1; i <= count; ++i) {
        doc += page(i);
    }
    return doc + tail + "%%EOF\n";
}

QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        files.insert(name, ReadFile(folder + QLatin1Char('/') + name));
    }
    return files;
}

TEST(ShardReport, ShardsSplitTheInputsAndTogetherGiveOneRunsPagesAndReport) {
    QTemporaryDir in, temp, plain, sharded;
    // name, content, expected_pages in the report (-1: null), why
    const struct Row {
        const char* name;
        QByteArray content;
        int expected;
        const char* why;
    } rows[] = {
        {"a.ps", document(1, "%%Pages: 1\n"), 1, "one page"},
        {"b.ps", document(3, "%%Pages: 3\n"), 3, "several pages"},
        {"c.ps", document(1, ""), -1, "no %%Pages: comment, so no expected count"},
        {"d.ps", document(2, "%%Pages: 2\n", "nosuchop\n"), 2, "fails after its pages"},
        {"e.ps", document(1, "%%Pages: (atend)\n"), -1, "a count deferred to the trailer"},
        {"f.ps", document(2, "%%Pages: 2\n"), 2, "two pages"},
        {"g.ps", document(1, "%%Pages: 1\n"), 1, "one more, so the shards differ in size"},
    };
    QStringList all;
    for (const Row& row : rows) {
        all << WriteFile(in.filePath(QLatin1String(row.name)), row.content);
    }

    // Every input lands in exactly one shard.
    ConvertCommand list({QStringLiteral("--list"), in.path()}, temp.path());
    list.run();
    ASSERT_EQ(list.outLines(), all);
    QStringList union_;
    for (int k = 1; k <= kShards; ++k) {
        ConvertCommand part({QStringLiteral("--list"), QStringLiteral("--shard"),
                             QStringLiteral("%1/%2").arg(k).arg(kShards), in.path()},
                            temp.path());
        part.run();
        EXPECT_EQ(part.exitCode, 0) << k;
        union_ += part.outLines();
    }
    union_.sort();
    EXPECT_EQ(union_, all) << "the union is the whole list, without overlap";

    ConvertCommand whole({QStringLiteral("--output-dir"), plain.path(), in.path()}, temp.path());
    whole.run();
    std::vector<std::unique_ptr<ConvertCommand>> shards;
    for (int k = 1; k <= kShards; ++k) {
        shards.push_back(std::make_unique<ConvertCommand>(
            QStringList{QStringLiteral("--shard"), QStringLiteral("%1/%2").arg(k).arg(kShards),
                        QStringLiteral("--output-dir"), sharded.path(), QStringLiteral("--report"),
                        sharded.filePath(QStringLiteral("report-%1.jsonl").arg(k)), in.path()},
            temp.path()));
        shards.back()->start();
    }
    QMap<QString, QJsonObject> reported;
    for (int k = 1; k <= kShards; ++k) {
        shards[k - 1]->finish();
        EXPECT_TRUE(shards[k - 1]->finished) << k;
        const QByteArray report =
            ReadFile(sharded.filePath(QStringLiteral("report-%1.jsonl").arg(k)));
        for (const QByteArray& line : report.split('\n')) {
            if (!line.isEmpty()) {
                const QJsonObject object = QJsonDocument::fromJson(line).object();
                EXPECT_FALSE(reported.contains(object[QStringLiteral("source")].toString()));
                reported.insert(object[QStringLiteral("source")].toString(), object);
            }
        }
    }
    const QMap<QString, QByteArray> pages = contents(plain.path());
    EXPECT_EQ(pages.size(), 1 + 3 + 1 + 2 + 1 + 2 + 1);
    EXPECT_TRUE(contents(sharded.path()) == pages) << "same names, same bytes";

    ASSERT_EQ(reported.keys(), all) << "one line per source";
    int reportedPages = 0;
    for (const Row& row : rows) {
        const QJsonObject object = reported.value(in.filePath(QLatin1String(row.name)));
        const bool bad = QByteArray(row.name) == "d.ps";
        EXPECT_EQ(object[QStringLiteral("failure")].isString(), bad) << row.why;
        EXPECT_EQ(object[QStringLiteral("failure")].isNull(), !bad) << row.why;
        EXPECT_EQ(object[QStringLiteral("expected_pages")].toInt(-1), row.expected) << row.why;
        EXPECT_EQ(object[QStringLiteral("expected_pages")].isNull(), row.expected < 0) << row.why;
        EXPECT_TRUE(object[QStringLiteral("seconds")].isDouble()) << row.why;
        for (const auto& path : object[QStringLiteral("pages")].toArray()) {
            EXPECT_TRUE(QFileInfo(path.toString()).isFile()) << row.why;
            EXPECT_EQ(QFileInfo(path.toString()).path(), sharded.path()) << row.why;
            ++reportedPages;
        }
    }
    EXPECT_EQ(reportedPages, pages.size()) << "the reports name every page";
    EXPECT_EQ(velmora::test::FolderEntries(temp.path()), QStringList{});
}

} // namespace
