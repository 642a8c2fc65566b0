#include "convert/stage_scripts.h"

#include "convert/work_layout.h"

#include <QStringList>

#include <algorithm>

namespace velmora {

namespace {

// Ghostscript reads -dJPEGQ=0 as "not set" and falls back to its default of
// 75: the lowest quality it really makes is 1.
constexpr int kLowestGhostscriptQuality = 1;

} // namespace

QString PsToPdfScriptName(PathStyle style) {
    return style == PathStyle::Windows ? QStringLiteral("pstopdf.bat")
                                       : QStringLiteral("pstopdf.sh");
}

QString JpegScriptName(PathStyle style, PageRange range) {
    const QString name = QStringLiteral("pdf2tiff");
    const QString extension =
        style == PathStyle::Windows ? QStringLiteral(".bat") : QStringLiteral(".sh");
    if (range == PageRange{}) {
        return name + extension;
    }
    return QStringLiteral("%1-%2-%3%4")
        .arg(name)
        .arg(range.first)
        .arg(range.last < 0 ? QStringLiteral("end") : QString::number(range.last), extension);
}

QString JpegScriptText(int quality, PathStyle style, PageRange range) {
    const bool windows = style == PathStyle::Windows;
    QString pages;
    if (range != PageRange{}) {
        pages = QStringLiteral("-dFirstPage=%1 ").arg(range.first);
        if (range.last >= 0) {
            pages += QStringLiteral("-dLastPage=%1 ").arg(range.last);
        }
    }
    const QString pdf = WorkLayout::pdfName();
    // The command interpreter turns "%%" into "%"; the Posix shell passes "%" as is.
    QString pageImages = WorkLayout::pageImageFormat();
    if (windows) {
        pageImages.replace(QLatin1Char('%'), QStringLiteral("%%"));
    }
    const QString program = windows ? QStringLiteral("\"%") + QLatin1String(kGhostscriptVariable) +
                                          QStringLiteral("%\"")
                                    : QStringLiteral("gs");
    const QString render =
        program + QStringLiteral(" -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=") +
        QString::number(std::max(quality, kLowestGhostscriptQuality)) +
        QStringLiteral(" -dDOINTERPOLATE ") + pages + QStringLiteral("-sOutputFile=") + pageImages +
        QStringLiteral(" -r300 ") + pdf;
    const QStringList lines =
        windows ? QStringList{render, QStringLiteral("set status=%errorlevel%"),
                              QStringLiteral("del ") + pdf, QStringLiteral("exit /b %status%")}
                : QStringList{render, QStringLiteral("status=$?"), QStringLiteral("rm -f ") + pdf,
                              QStringLiteral("exit $status")};
    return lines.join(lineBreak(style));
}

} // namespace velmora
