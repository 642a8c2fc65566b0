// The path helpers take any text: they must never crash, and their results
// keep the relations callers rely on, in both path styles.
#include "base/path_helpers.h"
#include "fuzz/fuzz_check.h"

using namespace velmora;
using velmora::fuzz::check;

namespace {

void exercise(const QString& path, PathStyle style) {
    const QChar sep = separator(style);
    const QString name = GetFileName(path, style);
    const QString folder = GetFolderPath(path, style);
    check(folder + name == path);
    check(!name.contains(sep));
    check(folder.isEmpty() || folder.endsWith(sep));

    const QString bare = RemoveExtension(name);
    check(name.startsWith(bare));

    const QString fixed = FixPath(path, style);
    check(fixed.size() <= path.size() + 1);
    // No doubled separator survives past the network prefix, except where a
    // run of three or more was halved in the one pass.
    check(fixed.isEmpty() == path.isEmpty());
    if (style == PathStyle::Posix) {
        check(!fixed.startsWith(QStringLiteral("//")));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::text(data, size);
    exercise(path, PathStyle::Windows);
    exercise(path, PathStyle::Posix);
    return 0;
}
