#include "cli/run_ending.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

using Status = RunSummary::Status;

RunSummary summary(Status status, bool oneFailed = false) {
    RunSummary result;
    result.status = status;
    result.ghostscript = QStringLiteral("gs");
    FileOutcome file;
    file.source = QStringLiteral("/d/a.ps");
    if (oneFailed) {
        file.failure = FileFailure::of(FileFailure::Kind::EmptyFile);
    }
    result.files.append(file);
    return result;
}

// The command line's own words for every way a run ends; the window's box
// texts ("Please select another folder", "Please install") never appear.
TEST(RunEnding, TheCommandLineSaysItsOwnLines) {
    const UnwrittenReport full{{QStringLiteral("/d/a.ps")}, QStringLiteral("No space left")};
    const struct Row {
        RunSummary summary;
        UnwrittenReport report;
        PathStyle system;
        const char* out;
        const char* err;
        bool allConverted;
        const char* why;
    } rows[] = {
        {summary(Status::Converted), {}, PathStyle::Posix, "Done.\n", "", true, "all converted"},
        {summary(Status::Converted, true),
         {},
         PathStyle::Posix,
         "Done.\n/d/a.ps: empty file\n",
         "",
         false,
         "a failed file is named after Done."},
        {summary(Status::Converted), full, PathStyle::Posix,
         "Done.\n/d/a.ps: its line could not be added to the report (No space left)\n", "", false,
         "a line the report lost fails the run"},
        {summary(Status::StoppedByUser, true),
         {},
         PathStyle::Posix,
         "Stopped.\n/d/a.ps: empty file\n",
         "",
         false,
         "a stopped run"},
        {summary(Status::NoFiles),
         {},
         PathStyle::Posix,
         "",
         "velmora-convert: no files to convert\n",
         false,
         "folders without a matching file"},
        {summary(Status::NoFolder),
         {},
         PathStyle::Posix,
         "",
         "velmora-convert: /pages: No such file or directory\n",
         false,
         "the pages folder vanished after it was made"},
        {summary(Status::MissingGhostscript),
         {},
         PathStyle::Posix,
         "",
         "velmora-convert: Ghostscript (the program \"gs\") was not found; install the package "
         "ghostscript (Debian and Ubuntu: sudo apt-get install ghostscript)\n",
         false,
         "Linux advice"},
        {summary(Status::MissingGhostscript),
         {},
         PathStyle::Windows,
         "",
         "velmora-convert: Ghostscript (the program \"gs\") was not found; install Ghostscript "
         "for Windows from https://ghostscript.com/releases/gsdnld.html\n",
         false,
         "no apt-get on Windows"},
    };
    for (const Row& row : rows) {
        const RunEnding ending =
            CommandLineEnding(row.summary, QStringLiteral("/pages"), row.report, row.system);
        EXPECT_EQ(ending.out, QString::fromUtf8(row.out)) << row.why;
        EXPECT_EQ(ending.err, QString::fromUtf8(row.err)) << row.why;
        EXPECT_EQ(ending.allConverted, row.allConverted) << row.why;
    }
}

} // namespace
