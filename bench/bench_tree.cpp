#include "bench/bench_tree.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace velmora::bench {

bool BuildBenchTree(const QString& root) {
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                const QString leaf =
                    QStringLiteral("%1/top%2/mid%3/leaf%4").arg(root).arg(a).arg(b).arg(c);
                if (!QDir().mkpath(leaf)) {
                    return false;
                }
                for (int f = 0; f < 100; ++f) {
                    const char* ext = f % 2 == 0 ? (f % 20 == 0 ? ".PS" : ".ps") : ".txt";
                    const QByteArray path =
                        QFile::encodeName(
                            leaf + QStringLiteral("/page%1").arg(f, 3, 10, QLatin1Char('0'))) +
                        ext;
                    // Plain system calls: QFile would make building the tree
                    // take longer than the benchmark.
                    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                    if (fd < 0) {
                        return false;
                    }
                    const bool written = ::write(fd, "%!PS\nshowpage\n", 14) == 14;
                    ::close(fd);
                    if (!written) {
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

} // namespace velmora::bench
