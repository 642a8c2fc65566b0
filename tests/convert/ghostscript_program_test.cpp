#include "convert/ghostscript_program.h"
#include "support/text.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// What Windows installers of Ghostscript recorded, and the console programs
// to try, best first.
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

} // namespace
