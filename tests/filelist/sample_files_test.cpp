#include "filelist/file_list.h"
#include "filelist/sample_files.h"
#include "support/qstring_printer.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct SampleFilesTest : ::testing::Test {
    test::TempTree program;
    FileList list;

    QString sample(const QString& name) const {
        return program.path() + QStringLiteral("/Samples/") + name;
    }
    void touch(const QString& name) const { program.touch(QStringLiteral("Samples/") + name); }
};

TEST_F(SampleFilesTest, AddsEveryFileDirectlyInTheFolderOnce) {
    touch(QStringLiteral("b.ps"));
    touch(QStringLiteral("a.eps"));
    touch(QStringLiteral(".hidden.ps"));
    touch(QStringLiteral("README"));
    touch(QStringLiteral("inner/c.ps"));
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 4);
    EXPECT_EQ(list.rows(), (QStringList{sample(".hidden.ps"), sample("a.eps"), sample("b.ps"),
                                        sample("README")}));
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 0) << "a second load adds nothing";
    EXPECT_EQ(list.count(), 4);
}

TEST_F(SampleFilesTest, SkipsOnlyTheExactPathAlreadyListed) {
    touch(QStringLiteral("a.ps"));
    touch(QStringLiteral("b.ps"));
    list.append(sample("a.ps"));
    list.append(sample("B.PS"));
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 1);
    EXPECT_EQ(list.rows(), (QStringList{sample("a.ps"), sample("B.PS"), sample("b.ps")}));
}

TEST_F(SampleFilesTest, AMissingFolderAddsNothing) {
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 0);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(SamplesFolder(program.path()), program.path() + QStringLiteral("/Samples"));
    EXPECT_EQ(SamplesFolder(QStringLiteral("/")), QStringLiteral("/Samples"));
}

TEST(IsPathListed, ComparesWholeTextsWithLetterCase) {
    FileList list;
    EXPECT_FALSE(IsPathListed(list, QStringLiteral("/a.ps")));
    list.append(QStringList{QStringLiteral("/x/a.ps"), QStringLiteral("/x/B.ps")});
    EXPECT_TRUE(IsPathListed(list, QStringLiteral("/x/B.ps")));
    EXPECT_FALSE(IsPathListed(list, QStringLiteral("/x/b.ps")));
    EXPECT_FALSE(IsPathListed(list, QStringLiteral("/x/a")));
    EXPECT_FALSE(IsPathListed(list, QStringLiteral("/x/a.ps ")));
}

} // namespace
