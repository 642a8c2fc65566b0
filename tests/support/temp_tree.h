#pragma once

#include <QString>
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

    void mkdirs(const QStringList& rels) const;
    // An empty file (or one holding bytes), its folders created as needed.
    void touch(const QString& rel, const QByteArray& bytes = {}) const;
    void touchAll(const QStringList& rels) const;
    void link(const QString& target, const QString& rel) const;

    // Paths below the tree made relative to it, for short expectations;
    // others stay as they are.
    QStringList relative(const QStringList& paths) const;

private:
    QTemporaryDir m_dir;
};

} // namespace velmora::test
