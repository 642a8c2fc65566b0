// What each host says when a run ends, side by side: the window's end box
// in the words it has always used, velmora-convert in its own line form.
// The engine gives them only values.
#include "app/run_words.h"
#include "cli/run_ending.h"
#include "support/qstring_printer.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

using Status = RunSummary::Status;

RunSummary summary(Status status, int failed = 0) {
    RunSummary result;
    result.status = status;
    result.ghostscript = QStringLiteral("gs");
    for (int i = 1; i <= std::max(failed, 1); ++i) {
        FileOutcome file;
        file.source = QStringLiteral("/d/%1.ps").arg(i);
        if (i <= failed) {
            file.failure = FileFailure::of(FileFailure::Kind::EmptyFile);
        }
        result.files.append(file);
    }
    return result;
}

TEST(RunEnding, EachHostWordsTheSameValues) {
    const UnwrittenReport full{{QStringLiteral("/d/1.ps")}, QStringLiteral("No space left")};
    const QString manyLines = [] {
        QString lines;
        for (int i = 1; i <= 25; ++i) {
            lines += QStringLiteral("/d/%1.ps: empty file\n").arg(i);
        }
        return lines;
    }();
    const struct Row {
        RunSummary summary;
        UnwrittenReport report;
        PathStyle system;
        QString box;    // the window's end box, at most 20 files named
        QString out;    // velmora-convert's stdout
        QString err;    // and its stderr
        bool converted; // its exit status 0
        const char* why;
    } rows[] = {
        {summary(Status::Converted),
         {},
         PathStyle::Posix,
         "Done.",
         "Done.\n",
         "",
         true,
         "all converted"},
        {summary(Status::Converted, 1),
         {},
         PathStyle::Posix,
         "Done.\n/d/1.ps: empty file",
         "Done.\n/d/1.ps: empty file\n",
         "",
         false,
         "a failed file is named after Done."},
        {summary(Status::Converted, 25),
         {},
         PathStyle::Posix,
         manyLines.section('\n', 0, 19).prepend("Done.\n") + "\nand 5 more",
         "Done.\n" + manyLines,
         "",
         false,
         "the box fits the screen; a terminal takes them all"},
        {summary(Status::Converted), full, PathStyle::Posix, "Done.",
         "Done.\n/d/1.ps: its line could not be added to the report (No space left)\n", "", false,
         "a line the report lost fails the run on the command line"},
        {summary(Status::StoppedByUser, 1),
         {},
         PathStyle::Posix,
         "Stopped.\n/d/1.ps: empty file",
         "Stopped.\n/d/1.ps: empty file\n",
         "",
         false,
         "a stopped run"},
        {summary(Status::NoFiles),
         {},
         PathStyle::Posix,
         "No files added.",
         "",
         "velmora-convert: no files to convert\n",
         false,
         "nothing to convert"},
        {summary(Status::NoFolder),
         {},
         PathStyle::Posix,
         "Folder does not exist. Please select another folder.",
         "",
         "velmora-convert: /pages: No such file or directory\n",
         false,
         "the pages folder is not there"},
        {summary(Status::MissingGhostscript),
         {},
         PathStyle::Posix,
         "Ghostscript (the program \"gs\") was not found, so nothing can be converted.\n\n"
         "Please install it (on Debian or Ubuntu: sudo apt-get install ghostscript) and try again.",
         "",
         "velmora-convert: Ghostscript (the program \"gs\") was not found; install the package "
         "ghostscript (Debian and Ubuntu: sudo apt-get install ghostscript)\n",
         false,
         "Linux advice"},
        {summary(Status::MissingGhostscript),
         {},
         PathStyle::Windows,
         "Ghostscript (the program \"gs\") was not found, so nothing can be converted.\n\n"
         "Please install Ghostscript for Windows (the 64-bit installer from "
         "https://ghostscript.com/releases/gsdnld.html) and try again.",
         "",
         "velmora-convert: Ghostscript (the program \"gs\") was not found; install Ghostscript "
         "for Windows from https://ghostscript.com/releases/gsdnld.html\n",
         false,
         "no apt-get on Windows"},
        {summary(Status::Cancelled),
         {},
         PathStyle::Posix,
         "",
         "",
         "",
         false,
         "a closed window or a signal: nothing to tell"},
        {summary(Status::NotPrepared),
         {},
         PathStyle::Posix,
         "",
         "",
         "",
         false,
         "its problems were told as they came"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EndBoxText(row.summary, 20, row.system), row.box) << row.why;
        const RunEnding ending =
            CommandLineEnding(row.summary, QStringLiteral("/pages"), row.report, row.system);
        EXPECT_EQ(ending.out, row.out) << row.why;
        EXPECT_EQ(ending.err, row.err) << row.why;
        EXPECT_EQ(ending.allConverted, row.converted) << row.why;
    }
    EXPECT_EQ(ProgressBarText({58, QStringLiteral("/in/report.ps")}, PathStyle::Posix),
              QStringLiteral("Processing: report.ps (Esc to stop)"));
    EXPECT_EQ(ProgressBarText({100, {}}, PathStyle::Posix), QString()) << "nothing at work";
}

} // namespace
