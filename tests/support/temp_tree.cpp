#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace velmora::test {

void TempTree::mkdirs(const QStringList& rels) const {
    for (const QString& rel : rels) {
        ASSERT_TRUE(QDir().mkpath(path(rel))) << qPrintable(rel);
    }
}

void TempTree::touch(const QString& rel, const QByteArray& bytes) const {
    const QString full = path(rel);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(full).path())) << qPrintable(rel);
    QFile file(full);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(rel);
    ASSERT_EQ(file.write(bytes), bytes.size()) << qPrintable(rel);
}

void TempTree::touchAll(const QStringList& rels) const {
    for (const QString& rel : rels) {
        touch(rel);
    }
}

void TempTree::link(const QString& target, const QString& rel) const {
    ASSERT_TRUE(QFile::link(target, path(rel))) << qPrintable(rel);
}

QStringList TempTree::relative(const QStringList& paths) const {
    const QString prefix = m_dir.path() + QLatin1Char('/');
    QStringList out;
    for (const QString& item : paths) {
        out.append(item.startsWith(prefix) ? item.mid(prefix.size()) : item);
    }
    return out;
}

} // namespace velmora::test
