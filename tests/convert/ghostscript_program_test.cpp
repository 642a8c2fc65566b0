#include "convert/ghostscript_program.h"
#include "support/text.h"

#include <gtest/gtest.h>

using namespace velmora;
using test::q;

namespace {

struct Install {
    const char* version;
    const char* dll; // "" when the installer left no GS_DLL
};

struct Row {
    std::vector<Install> installs;
    const char* best; // "" when no install offers a program
    const char* why;
};

TEST(GhostscriptProgram, BestRecordedInstallFirst) {
    const Row rows[] = {
        {{{"9.56.1", R"(C:\gs\gs9.56.1\bin\gsdll64.dll)"},
          {"10.0.0", R"(C:\gs\gs10.0.0\bin\gsdll64.dll)"}},
         R"(C:\gs\gs10.0.0\bin\gswin64c.exe)",
         "versions compare by number, not as text"},
        {{{"10.02.1", R"(C:\gs\new\bin\gsdll64.dll)"}, {"10.2.0", R"(C:\gs\old\bin\gsdll64.dll)"}},
         R"(C:\gs\new\bin\gswin64c.exe)",
         "leading zeros in a part do not count"},
        {{{"10.0.0", ""}, {"9.56.1", R"(C:\gs\gs9.56.1\bin\gsdll64.dll)"}},
         R"(C:\gs\gs9.56.1\bin\gswin64c.exe)",
         "a newer version without GS_DLL is passed over"},
        {{{"9.56.1", R"(C:\Program Files (x86)\gs\gs9.56.1\bin\gsdll32.dll)"}},
         R"(C:\Program Files (x86)\gs\gs9.56.1\bin\gswin32c.exe)",
         "only a 32-bit install: its own console program"},
        {{{"10.0.0", R"(C:\gs32\bin\gsdll32.dll)"}, {"10.0.0", R"(C:\gs64\bin\GSDLL64.DLL)"}},
         R"(C:\gs64\bin\gswin64c.exe)",
         "of one version the 64-bit one, whatever the DLL's case"},
        {{{"9.0", R"(C:\gs\bin\gsdll64.dll)"}, {"10.0", R"(C:\gs\bin\gsdll.dll)"}},
         R"(C:\gs\bin\gswin64c.exe)",
         "a DLL of another name names no program"},
        {{{"10.0.0", "gsdll64.dll"}}, "", "a bare DLL name gives no folder to look in"},
        {{}, "", "nothing installed"},
    };
    for (const Row& row : rows) {
        QList<GhostscriptInstall> installs;
        for (const Install& install : row.installs) {
            installs.append({q(install.version), q(install.dll)});
        }
        const QStringList candidates = GhostscriptCandidates(installs);
        EXPECT_EQ(candidates.value(0), q(row.best)) << row.why;
    }
}

TEST(GhostscriptProgram, EveryUsableInstallIsOfferedOnce) {
    // An install may be filed under both the old and the new key, and the
    // newest may have been removed without its key: all remain to try.
    const QStringList candidates = GhostscriptCandidates({
        {QStringLiteral("9.56.1"), QStringLiteral(R"(C:\gs\a\gsdll64.dll)")},
        {QStringLiteral("10.0.0"), QStringLiteral(R"(C:\gs\b\gsdll64.dll)")},
        {QStringLiteral("9.56.1"), QStringLiteral(R"(C:\gs\a\gsdll64.dll)")},
    });
    EXPECT_EQ(candidates, (QStringList{QStringLiteral(R"(C:\gs\b\gswin64c.exe)"),
                                       QStringLiteral(R"(C:\gs\a\gswin64c.exe)")}));
}

} // namespace
