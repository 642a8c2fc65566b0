#pragma once

// What the tests under Wine share: the tree make_link_tree.cmake made for them
// on the host (Wine cannot make links itself), and programs run to their end.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace velmora::test {

// A path in that tree beside the tests, in Windows form.
inline QString LinkTree(const QString& relative = {}) {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/link-tree/") + relative);
}

// How a program ended and what it wrote.
struct Ended {
    int exitCode = -1;
    QString out;
    QString err;
};

// Starts the prepared process and waits for its end with no bound of its
// own: ctest's timeout ends a program that hangs.
inline Ended RunToEnd(QProcess& process) {
    process.start();
    EXPECT_TRUE(process.waitForFinished(-1)) << qPrintable(process.errorString());
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace velmora::test
