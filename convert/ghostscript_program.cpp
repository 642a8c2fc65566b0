#include "convert/ghostscript_program.h"

#include <QVersionNumber>

#include <algorithm>

namespace velmora {

namespace {

const QString kDll64 = QStringLiteral("gsdll64.dll");
const QString kDll32 = QStringLiteral("gsdll32.dll");
const QString kProgram64 = QStringLiteral("gswin64c.exe");
const QString kProgram32 = QStringLiteral("gswin32c.exe");

struct Candidate {
    QVersionNumber version;
    bool wide = false; // 64-bit
    QString program;
};

} // namespace

QStringList GhostscriptCandidates(const QList<GhostscriptInstall>& installs) {
    QList<Candidate> candidates;
    for (const GhostscriptInstall& install : installs) {
        // Windows paths, read on any system: either separator ends the folder.
        const qsizetype cut = std::max(install.dll.lastIndexOf(QLatin1Char('\\')),
                                       install.dll.lastIndexOf(QLatin1Char('/')));
        if (cut < 0) {
            continue;
        }
        const QString name = install.dll.mid(cut + 1);
        const bool wide = name.compare(kDll64, Qt::CaseInsensitive) == 0;
        if (!wide && name.compare(kDll32, Qt::CaseInsensitive) != 0) {
            continue;
        }
        candidates.append({QVersionNumber::fromString(install.version), wide,
                           install.dll.left(cut + 1) + (wide ? kProgram64 : kProgram32)});
    }
    // By number, not text: 10.0.0 is newer than 9.56.1.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         return a.version != b.version ? a.version > b.version : a.wide > b.wide;
                     });
    QStringList programs;
    for (const Candidate& candidate : candidates) {
        programs.append(candidate.program);
    }
    programs.removeDuplicates();
    return programs;
}

} // namespace velmora
