// Page naming and Ghostscript's messages: any file name and any output must
// give a well-formed page name or reason, never a crash.
#include "convert/ghostscript_report.h"
#include "convert/page_names.h"
#include "fuzz/fuzz_check.h"

#include <QStringList>

using namespace velmora;
using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);

    const QString prefix = PagePrefix(text);
    check(text.startsWith(prefix));
    check(!prefix.contains(QLatin1Char('.')));

    const int page = size >= 2 ? (data[0] << 8 | data[1]) : 1;
    const QString suffix = PageSuffix(page);
    check(suffix.size() >= 4 && suffix.startsWith(QLatin1Char('-')));
    const QString delivered =
        DeliveredPageName(QStringLiteral("/out"), prefix, page, PathStyle::Posix);
    check(delivered.endsWith(suffix + QStringLiteral(".jpg")));

    const QStringList names = text.split(QLatin1Char('\n'));
    const QStringList sorted = SortPageImages(names);
    check(sorted.size() == names.size());
    int previous = -1;
    for (const QString& name : sorted) {
        const int number = PageImageNumber(name);
        if (number >= 0) {
            check(number >= previous);
            previous = number;
        }
    }

    check(GhostscriptErrorLine(bytes).size() <= 160);
    return 0;
}
