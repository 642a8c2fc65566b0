// Files as Windows lists, opens and delivers them. The tree and the drive R:
// are made on the host (make_link_tree.cmake) beside the tests.
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/located_trap.h"
#include "base/unique_handle_windows.h"
#include "convert/safe_files.h"
#include "filelist/dropped_paths.h"
#include "filelist/file_attributes.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"
#include "support/fake_event_pump.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/test_files.h"
#include "support/wine_harness.h"

#include <QTemporaryDir>

using namespace velmora;
using test::LinkTree;

namespace {

// The walk follows a junction once and never loops.
TEST(FolderListing, ListsAndWalksThroughTheWideCallsAndThroughJunctions) {
    const struct {
        const char* folder;
        QStringList names;
        const char* why;
    } rows[] = {
        {"Zürich", {u"notes.txt"_qs, u"Straße.ps"_qs, u"日本語.PS"_qs}, "names beyond ASCII"},
        {"", {}, "folders and junctions are no files"},
        {"junction", {u"t.ps"_qs}, "through a junction: its target's files"},
        {"missing", {}, "a missing folder lists nothing"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GetFilesInFolder(LinkTree(QString::fromUtf8(row.folder)), u"*"_qs), row.names)
            << row.why;
    }
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    QStringList folders{LinkTree()};
    GetSubDirectories2016(folders, true, ScanContext{prompter, pump});
    // "junction" comes first by name and leads to "target", which is then
    // the same folder; "back" leads to the top again.
    EXPECT_EQ(folders, (QStringList{LinkTree(), LinkTree(u"junction\\"_qs),
                                    LinkTree(u"Zürich\\"_qs), LinkTree(u"junction\\inner\\"_qs)}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// A drive's root is walked, its files named with one backslash after the drive;
// a hidden file is left out for its word 34 whatever its name; 38 stays.
TEST(FolderListing, ADriveRootGivesSingleBackslashRowsWithoutHiddenFiles) {
    constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(::SetFileAttributesW(L"R:\\h.ps", kHidden));
    ASSERT_TRUE(::SetFileAttributesW(L"R:\\s.ps", kHidden | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_EQ(AttributeWord(u"R:\\h.ps"_qs), ArchiveAttribute | HiddenAttribute);
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    LocatedTrap<report_location::AddFolder> addFolder(prompter);
    const ErrorTrap::BoundStep trap = addFolder.bind(report_location::AddFolder::kListFolderFiles);
    const ScanContext context{prompter, pump};
    const QStringList rows{u"R:\\a.ps"_qs, u"R:\\s.ps"_qs, u"R:\\Zoë\\b.ps"_qs};
    EXPECT_EQ(CollectFolderFiles(u"R:\\"_qs, u"ps"_qs, context, trap), rows) << "Add All";
    EXPECT_EQ(DroppedRows(u"R:\\"_qs, context, trap), rows + QStringList{u"R:\\Zoë\\c.txt"_qs})
        << "a dropped drive";
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST(SafeFilesWindows, OnlyAFileOnADiskOpensAndOnlyOneWithContentIsConverted) {
    using Kind = FileFailure::Kind;
    QTemporaryDir dir;
    const QString page = test::WriteFile(dir.filePath(u"page.jpg"_qs), "page");
    test::WriteFile(dir.filePath(u"empty.ps"_qs), {});
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder"_qs));
    const struct {
        QString path;
        bool outputOpens; // as a page Ghostscript made
        Kind asSource;
        const char* why;
    } rows[] = {
        {page, true, Kind::None, "a file with content"},
        {dir.filePath(u"empty.ps"_qs), true, Kind::EmptyFile, "nothing to convert"},
        {dir.filePath(u"folder"_qs), false, Kind::NotRegularFile, "a folder"},
        {u"\\\\.\\NUL"_qs, false, Kind::NotRegularFile, "a device, whose read may wait"},
        {dir.filePath(u"missing"_qs), false, Kind::Unreadable, "nothing there"},
    };
    for (const auto& row : rows) {
        QFile output;
        bool opened = true;
        try {
            OpenOwnOutput(row.path, output);
        } catch (const Failure&) {
            opened = false;
        }
        EXPECT_EQ(opened, row.outputOpens) << row.why;
        QFile source;
        EXPECT_EQ(OpenSource(row.path, source).kind, row.asSource) << row.why;
        EXPECT_EQ(source.isOpen(), row.asSource == Kind::None) << row.why;
    }
    QFile output;
    OpenOwnOutput(page, output);
    EXPECT_EQ(output.readAll(), QByteArray("page"));
}

TEST(SafeFilesWindows, DeliveryPutsThePageInPlaceInOneStep) {
    for (const char* before : {"", "an earlier page of that name"}) {
        QTemporaryDir dir;
        const QString target = dir.filePath(u"out/report-001.jpg"_qs);
        if (*before != '\0') {
            test::WriteFile(target, before);
        }
        ASSERT_TRUE(QDir().mkpath(dir.filePath(u"out"_qs)));
        DeliverFile(test::WriteFile(dir.filePath(u"current-001.jpg"_qs), "new"), target);
        EXPECT_EQ(test::ReadFile(target), QByteArray("new")) << before;
        EXPECT_EQ(QDir(dir.filePath(u"out"_qs)).entryList(QDir::Files).size(), 1)
            << before << ": no part file left";
    }
}

} // namespace
