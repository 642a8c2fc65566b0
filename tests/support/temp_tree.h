#pragma once

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace velmora::test {

// A temporary folder to build file trees in, removed with the object; paths
// are given relative to it ("A/B/c.ps"). A step that fails fails the test.
class TempTree {
public:
    QString path() const { return m_dir.path(); }
    QString path(const QString& rel) const { return m_dir.path() + QLatin1Char('/') + rel; }
    // The form a folder walk takes and gives: the path with a closing "/".
    QString item(const QString& rel) const { return path(rel) + QLatin1Char('/'); }

    void mkdirs(const QStringList& rels) const {
        for (const QString& rel : rels) {
            EXPECT_TRUE(QDir().mkpath(path(rel))) << qPrintable(rel);
        }
    }
    // An empty file (or one holding bytes), its folders created as needed.
    void touch(const QString& rel, const QByteArray& bytes = {}) const {
        WriteFile(path(rel), bytes);
    }
    void touchAll(const QStringList& rels) const {
        for (const QString& rel : rels) {
            touch(rel);
        }
    }
    void link(const QString& target, const QString& rel) const {
        EXPECT_TRUE(QFile::link(target, path(rel))) << qPrintable(rel);
    }

    // Paths below the tree made relative to it, for short expectations;
    // others stay as they are.
    QStringList relative(QStringList paths) const {
        return paths.replaceInStrings(
            QRegularExpression(u'^' + QRegularExpression::escape(path(QString()))), QString());
    }

private:
    QTemporaryDir m_dir;
};

} // namespace velmora::test
