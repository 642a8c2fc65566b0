// Opening and delivering files on Windows: never through a link, never a
// device, and a page replaced in one step.
#include "base/failure.h"
#include "base/unique_handle_windows.h"
#include "convert/safe_files.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A symbolic link; false where this user may make none.
bool symlinkTo(const QString& target, const QString& link) {
    return CreateSymbolicLinkW(WideText(QDir::toNativeSeparators(link)),
                               WideText(QDir::toNativeSeparators(target)),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
}

TEST(SafeFilesWindows, OwnOutputOpensOnlyAPlainFile) {
    QTemporaryDir dir;
    test::WriteFile(dir.filePath(QStringLiteral("page.jpg")), "page");
    const QString secret = test::WriteFile(dir.filePath(QStringLiteral("secret.txt")), "secret");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const bool linked = symlinkTo(secret, dir.filePath(QStringLiteral("link.jpg")));
    const struct Row {
        const char* name;
        bool opens;
        const char* why;
    } rows[] = {
        {"page.jpg", true, "what Ghostscript made"},
        {"link.jpg", false, "a link to a file the document could not see"},
        {"folder", false, "a folder"},
        {"missing.jpg", false, "nothing there"},
    };
    for (const Row& row : rows) {
        if (!linked && qstrcmp(row.name, "link.jpg") == 0) {
            continue;
        }
        QFile file;
        bool opened = true;
        try {
            OpenOwnOutput(dir.filePath(QString::fromLatin1(row.name)), file);
        } catch (const Failure&) {
            opened = false;
        }
        EXPECT_EQ(opened, row.opens) << row.why;
        if (opened) {
            EXPECT_EQ(file.readAll(), QByteArray("page")) << row.why;
        }
    }
}

TEST(SafeFilesWindows, SourceIsReadOnlyWhenAFileWithContent) {
    using Kind = FileFailure::Kind;
    QTemporaryDir dir;
    test::WriteFile(dir.filePath(QStringLiteral("page.ps")), "%!PS");
    test::WriteFile(dir.filePath(QStringLiteral("empty.ps")), {});
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ps")));
    const struct Row {
        QString path;
        Kind kind;
        const char* why;
    } rows[] = {
        {dir.filePath(QStringLiteral("page.ps")), Kind::None, "a document"},
        {dir.filePath(QStringLiteral("empty.ps")), Kind::EmptyFile, "nothing to convert"},
        {dir.filePath(QStringLiteral("folder.ps")), Kind::NotRegularFile, "a folder"},
        {QStringLiteral("\\\\.\\NUL"), Kind::NotRegularFile, "a device, whose read may wait"},
        {dir.filePath(QStringLiteral("missing.ps")), Kind::Unreadable, "nothing there"},
    };
    for (const Row& row : rows) {
        QFile file;
        EXPECT_EQ(OpenSource(row.path, file).kind, row.kind) << row.why;
        EXPECT_EQ(file.isOpen(), row.kind == Kind::None) << row.why;
    }
}

TEST(SafeFilesWindows, DeliveryReplacesThePageOrItsLinkInOneStep) {
    const struct Row {
        const char* before; // "": no page yet; "link": a link to the user's file
        const char* why;
    } rows[] = {
        {"", "a new page"},
        {"old page", "an earlier page of that name"},
        {"link", "a link of the page's name is replaced, not written through"},
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        const QString image =
            test::WriteFile(dir.filePath(QStringLiteral("current-001.jpg")), "new");
        const QString mine = test::WriteFile(dir.filePath(QStringLiteral("mine.txt")), "mine");
        const QString target = dir.filePath(QStringLiteral("out/report-001.jpg"));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
        if (qstrcmp(row.before, "link") == 0) {
            if (!symlinkTo(mine, target)) {
                continue;
            }
        } else if (*row.before != '\0') {
            test::WriteFile(target, row.before);
        }
        DeliverFile(image, target);
        EXPECT_EQ(test::ReadFile(target), QByteArray("new")) << row.why;
        EXPECT_FALSE(QFileInfo(target).isSymLink()) << row.why;
        EXPECT_EQ(test::ReadFile(mine), QByteArray("mine")) << row.why;
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files).size(), 1)
            << row.why << ": no part file left";
    }
}

} // namespace
