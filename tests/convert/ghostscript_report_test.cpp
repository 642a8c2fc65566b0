#include "convert/file_failure.h"
#include "convert/ghostscript_program.h"
#include "convert/ghostscript_report.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(GhostscriptReport, ErrorLine) {
    const struct Row {
        QByteArray messages;
        const char* expected;
        const char* why;
    } rows[] = {
        {"GPL Ghostscript 10.00.0\nError: /undefined in D\x01x\nOperand stack:\n"
         "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\n",
         "Error: /undefined in D?x", "the named error wins over the closing line, tidied"},
        {"Page 1\nPage 2\n", "", "a clean run"},
        {"   **** Warning: something odd\n", "", "warnings are no errors"},
        {"**** Unable to open the initial device, quitting.\nUnrecoverable error, exit code 1\n",
         "Unrecoverable error, exit code 1", "the last mention when no Error: line"},
        {"", "", "no output"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GhostscriptErrorLine(row.messages), QString::fromUtf8(row.expected)) << row.why;
    }
    EXPECT_LE(GhostscriptErrorLine("Error: " + QByteArray(1000, 'x')).size(), 160) << "one line";
}

TEST(GhostscriptReport, AnnouncedPagesFromTheHeaderOrTheTrailer) {
    const struct Row {
        QByteArray document;
        int pages;
        const char* why;
    } rows[] = {
        {"%!PS-Adobe-3.0\n%%Pages: 36\n%%EndComments\n", 36, "in the header"},
        {"%!PS-Adobe-3.0\n%%Pages:3 1\n", 3, "no space, and a page order after it"},
        {"%!PS\nshowpage\n", -1, "none announced"},
        {"%!PS-Adobe-3.0\n%%Pages: (atend)\n%%Trailer\n%%Pages: 7\n", 7, "in the trailer"},
        {"%!PS-Adobe-3.0\n%%Pages: (atend)\n", -1, "deferred to a trailer that never comes"},
        {"%!PS-Adobe-3.0\n%%Pages: (atend)\n" + QByteArray(300 * 1024, ' ') +
             "\n%%Trailer\n%%Pages: 12\n%%EOF\n",
         12, "the trailer of a large document"},
    };
    QTemporaryDir dir;
    for (const Row& row : rows) {
        const QString path = test::WriteFile(dir.filePath(QStringLiteral("doc.ps")), row.document);
        EXPECT_EQ(AnnouncedPageCount(path), row.pages) << row.why;
    }
    EXPECT_EQ(AnnouncedPageCount(dir.filePath(QStringLiteral("missing.ps"))), -1);
}

// A failed non-document is named for what it is not; only Ghostscript's reasons change.
TEST(GhostscriptReport, AFailedNonDocumentIsNamedForWhatItIsNot) {
    const FileFailure error = FileFailure::of(FileFailure::Kind::GhostscriptError,
                                              QStringLiteral("Error: /undefined in S"));
    FileFailure status;
    status.kind = FileFailure::Kind::GhostscriptStatus;
    status.exitStatus = 1;
    const struct Row {
        QByteArray begins;
        FileFailure failure;
        const char* reason;
        const char* why;
    } rows[] = {
        {"\x0d\x1a random bytes", error,
         "not a PostScript or PDF file (Ghostscript: Error: /undefined in S)",
         "random bytes: what it is not, then Ghostscript's words"},
        {"GIF89a", status, "not a PostScript or PDF file (Ghostscript ended with status 1)",
         "Ghostscript said no more than its status"},
        {"%!PS-Adobe-3.0\n", error, "Error: /undefined in S", "PostScript keeps them"},
        {"%PDF-1.7\n", error, "Error: /undefined in S", "so does a PDF"},
        {"\xC5\xD0\xD3\xC6\x1e\x00", error, "Error: /undefined in S", "and a DOS EPS header"},
        {"PK\x03\x04", FileFailure::of(FileFailure::Kind::TimeLimit), "took more than 0 s",
         "limits and stops are not Ghostscript's reasons: they stay"},
        {" %!PS", FileFailure::of(FileFailure::Kind::NoPage), "no page", "neither is no page"},
    };
    QTemporaryDir dir;
    for (const Row& row : rows) {
        const QString path = test::WriteFile(dir.filePath(QStringLiteral("doc.ps")), row.begins);
        const FileFailure failure =
            BeginsLikeADocument(path) ? row.failure : row.failure.ofNonDocument();
        EXPECT_EQ(failure.text(), QString::fromLatin1(row.reason)) << row.why;
    }
    EXPECT_FALSE(BeginsLikeADocument(dir.filePath(QStringLiteral("missing.ps"))));
}

// Ghostscripts Windows installers recorded, and the console programs to try, best first.
TEST(GhostscriptProgram, RecordedInstallsOfferTheirProgramsBestFirst) {
    const struct Row {
        std::vector<GhostscriptInstall> installs; // version, GS_DLL
        const char* candidates;                   // comma-separated
        const char* why;
    } rows[] = {
        {{{"9.56.1", R"(C:\a\gsdll64.dll)"}, {"10.0.0", R"(C:\b\gsdll64.dll)"}},
         R"(C:\b\gswin64c.exe,C:\a\gswin64c.exe)",
         "versions compare by number, not as text"},
        {{{"10.02.1", R"(C:\new\gsdll64.dll)"}, {"10.2.0", R"(C:\old\gsdll64.dll)"}},
         R"(C:\new\gswin64c.exe,C:\old\gswin64c.exe)",
         "leading zeros in a part do not count"},
        {{{"10.0.0", ""}, {"9.56.1", R"(C:\a\gsdll64.dll)"}},
         R"(C:\a\gswin64c.exe)",
         "an install without GS_DLL is passed over"},
        {{{"9.56.1", R"(C:\Program Files (x86)\gs\gsdll32.dll)"}},
         R"(C:\Program Files (x86)\gs\gswin32c.exe)",
         "a 32-bit install: its own program"},
        {{{"10.0.0", R"(C:\gs32\gsdll32.dll)"}, {"10.0.0", R"(C:\gs64\GSDLL64.DLL)"}},
         R"(C:\gs64\gswin64c.exe,C:\gs32\gswin32c.exe)",
         "of one version the 64-bit one first, whatever the DLL's case"},
        {{{"9.0", R"(C:\gs\gsdll64.dll)"}, {"10.0", R"(C:\gs\gsdll.dll)"}},
         R"(C:\gs\gswin64c.exe)",
         "a DLL of another name names no program"},
        {{{"10.0.0", "gsdll64.dll"}}, "", "a bare DLL name gives no folder to look in"},
        {{{"9.56.1", R"(C:\a\gsdll64.dll)"}, {"9.56.1", R"(C:\a\gsdll64.dll)"}},
         R"(C:\a\gswin64c.exe)",
         "an install filed under the old and the new key is offered once"},
        {{}, "", "nothing installed"},
    };
    for (const Row& row : rows) {
        const QList<GhostscriptInstall> installs(row.installs.begin(), row.installs.end());
        EXPECT_EQ(GhostscriptCandidates(installs), test::split(row.candidates)) << row.why;
    }
}
