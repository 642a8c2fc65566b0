// The file dialog's answer, split into rows: any selection gives one row per
// picked file and a length that decides the bound the same way every time.
#include "filelist/dialog_rows.h"
#include "fuzz/fuzz_check.h"

using namespace velmora;
using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::text(data, size);
    const QStringList picked = text.split(QLatin1Char('\n'));
    const QStringList rows = DialogRows(picked);
    check(rows.size() == picked.size());
    if (picked.size() == 1) {
        check(rows.front() == picked.front());
    }
    const qsizetype length = SelectionNameLength(picked);
    check(length >= 0);
    check(SelectionFits(picked) == (length <= kMaxFileSize));
    return 0;
}
