// What each host says when a run ends, side by side: the window's end box in the words it
// has always used, velmora-convert in its own line form, from the same values.
#include "app/run_words.h"
#include "cli/run_ending.h"
#include "support/qstring_printer.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

using Status = RunSummary::Status;
constexpr int kBoxLines = 20;

// A run of one file, or of `failed` files that were empty.
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

QString emptyFiles(int from, int to) {
    QString lines;
    for (int i = from; i <= to; ++i) {
        lines += QStringLiteral("\n/d/%1.ps: empty file").arg(i);
    }
    return lines;
}

TEST(RunEnding, EachHostWordsTheSameValues) {
    const QString missing = "Ghostscript (the program \"gs\") was not found";
    const UnwrittenReport lost{{"/d/1.ps"}, "No space left"};
    const UnwrittenReport noLoss{};
    const struct Row {
        const char* why = "";
        RunSummary summary = {};
        QString box = {};       // the window's end box, at most kBoxLines files named
        QString out = {};       // velmora-convert's stdout
        QString err = {};       // and its stderr
        bool converted = false; // its exit status 0
        UnwrittenReport report = {};
        PathStyle system = PathStyle::Posix;
    } rows[] = {
        {"all converted", summary(Status::Converted), "Done.", "Done.\n", "", true},
        {"a failed file is named after Done.", summary(Status::Converted, 1),
         "Done.\n/d/1.ps: empty file", "Done.\n/d/1.ps: empty file\n"},
        {"the box fits the screen; a terminal takes them all", summary(Status::Converted, 25),
         "Done." + emptyFiles(1, kBoxLines) + "\nand 5 more", "Done." + emptyFiles(1, 25) + "\n"},
        {"a line the report lost fails the run on the command line", summary(Status::Converted),
         "Done.", "Done.\n/d/1.ps: its line could not be added to the report (No space left)\n", "",
         false, lost},
        {"a stopped run", summary(Status::StoppedByUser, 1), "Stopped.\n/d/1.ps: empty file",
         "Stopped.\n/d/1.ps: empty file\n"},
        {"nothing to convert", summary(Status::NoFiles), "No files added.", "",
         "velmora-convert: no files to convert\n"},
        {"the pages folder is not there", summary(Status::NoFolder),
         "Folder does not exist. Please select another folder.", "",
         "velmora-convert: /pages: No such file or directory\n"},
        {"Linux advice", summary(Status::MissingGhostscript),
         missing + ", so nothing can be converted.\n\nPlease install it (on Debian or Ubuntu: sudo "
                   "apt-get install ghostscript) and try again.",
         "",
         "velmora-convert: " + missing +
             "; install the package ghostscript (Debian and Ubuntu: "
             "sudo apt-get install ghostscript)\n"},
        {"no apt-get on Windows", summary(Status::MissingGhostscript),
         missing + ", so nothing can be converted.\n\nPlease install Ghostscript for Windows (the "
                   "64-bit installer from https://ghostscript.com/releases/gsdnld.html) and try "
                   "again.",
         "",
         "velmora-convert: " + missing +
             "; install Ghostscript for Windows from "
             "https://ghostscript.com/releases/gsdnld.html\n",
         false, noLoss, PathStyle::Windows},
        {"a closed window or a signal: nothing to tell", summary(Status::Cancelled)},
        {"its problems were told as they came", summary(Status::NotPrepared)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(EndBoxText(row.summary, kBoxLines, row.system), row.box);
        const RunEnding ending =
            CommandLineEnding(row.summary, QStringLiteral("/pages"), row.report, row.system);
        EXPECT_EQ(ending.out, row.out);
        EXPECT_EQ(ending.err, row.err);
        EXPECT_EQ(ending.allConverted, row.converted);
    }
    EXPECT_EQ(ProgressBarText({58, QStringLiteral("/in/report.ps")}, PathStyle::Posix),
              QStringLiteral("Processing: report.ps (Esc to stop)"));
    EXPECT_EQ(ProgressBarText({100, {}}, PathStyle::Posix), QString()) << "nothing at work";
}

} // namespace
