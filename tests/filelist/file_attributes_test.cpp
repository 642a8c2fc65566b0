#include "filelist/file_attributes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmora;

namespace {

struct WordRow {
    const char* path; // relative to the fixture
    unsigned word;
    const char* why;
};

void PrintTo(const WordRow& row, std::ostream* os) {
    *os << row.path << ": " << row.why;
}

// One fixture for all rows: files, folders and links with the permissions
// whose Windows counterparts the rows expect.
class AttributeWordTest : public ::testing::TestWithParam<WordRow> {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        ASSERT_TRUE(dir->isValid());
        const QString root = dir->path() + QLatin1Char('/');
        for (const char* folder : {"folder", ".hidden-folder", "read-only-folder"}) {
            ASSERT_TRUE(QDir().mkdir(root + QLatin1String(folder)));
        }
        for (const char* file : {"file.ps", ".hidden.ps", "read-only.ps", ".hidden-read-only"}) {
            QFile f(root + QLatin1String(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        for (const char* path : {"read-only.ps", ".hidden-read-only"}) {
            ::chmod(QFile::encodeName(root + QLatin1String(path)).constData(), 0444);
        }
        ::chmod(QFile::encodeName(root + QStringLiteral("read-only-folder")).constData(), 0555);
        ASSERT_TRUE(
            QFile::link(root + QStringLiteral("file.ps"), root + QStringLiteral("to-file")));
        ASSERT_TRUE(
            QFile::link(root + QStringLiteral("folder"), root + QStringLiteral("to-folder")));
        ASSERT_TRUE(
            QFile::link(root + QStringLiteral("folder"), root + QStringLiteral(".hidden-link")));
        ASSERT_TRUE(QFile::link(root + QStringLiteral("gone"), root + QStringLiteral("dangling")));
    }
    static void TearDownTestSuite() {
        ::chmod(QFile::encodeName(dir->path() + QStringLiteral("/read-only-folder")).constData(),
                0755);
        delete dir;
        dir = nullptr;
    }
    static QTemporaryDir* dir;
};

QTemporaryDir* AttributeWordTest::dir = nullptr;

TEST_P(AttributeWordTest, DerivedFromPosixFacts) {
    const WordRow& row = GetParam();
    EXPECT_EQ(AttributeWord(dir->path() + QLatin1Char('/') + QString::fromUtf8(row.path)), row.word)
        << row.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AttributeWordTest,
    ::testing::Values(WordRow{"file.ps", 32, "archive"},
                      WordRow{".hidden.ps", 34, "hidden archive: the word Add All skips"},
                      WordRow{"read-only.ps", 33, "owner may not write"},
                      WordRow{".hidden-read-only", 35, "hidden read-only archive"},
                      WordRow{"folder", 16, "directory"}, WordRow{"folder/", 16, "trailing /"},
                      WordRow{".hidden-folder", 18, "hidden directory"},
                      WordRow{"read-only-folder", 17, "read-only directory"},
                      WordRow{"to-file", 1024 + 32, "link: target's type, link bit"},
                      WordRow{"to-folder", 1024 + 16, "link to a folder"},
                      WordRow{"to-folder/", 1024 + 16, "trailing / keeps the link bit"},
                      WordRow{".hidden-link", 1024 + 16 + 2, "hidden link to a folder"},
                      WordRow{"dangling", 1024, "nothing behind the link"},
                      WordRow{"missing", 0, "does not exist"}));

TEST(AttributeWordEdges, RootAndEmptyPath) {
    EXPECT_EQ(AttributeWord(QStringLiteral("/")), 16u) << "a folder, not hidden, never system";
    EXPECT_EQ(AttributeWord(QString()), 0u);
}

} // namespace
