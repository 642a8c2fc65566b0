#pragma once

#include "convert/file_outcome.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace velmora {

// The report of --report and --resume, in JSON Lines: one object per source
// with "source", "pages" (the delivered paths), "expected_pages" (a number or
// null), "failure" (null or the reason), "replaced_by" (null, or the later
// source whose pages of the same names replaced this one's), "seconds", and
// "size" and "mtime" (the source as it was opened, or null). A source whose
// pages a later one replaced gets a second line saying so. A line is appended as each source
// ends, so a run killed at any moment leaves a report of everything that
// ended before: each line goes down in one write, whole or not at all, and
// only after that source's pages are in place. An existing report is added
// to, never cut short.
class RunReport {
public:
    explicit RunReport(const QString& path);

    // Opens the file for appending, making it when it is missing; returns
    // the reason when it cannot be, empty on success.
    QString open();
    // What the file held when it was opened.
    QByteArray earlier();
    // Appends the line of a source that ended. A source the run was stopped
    // before it ended gets none, so that a resumed run converts it.
    void append(const FileOutcome& outcome);
    // The reason the first line that could not be written failed; empty
    // while every line was written.
    QString writeError() const { return m_writeError; }
    // The sources that ended without their line in the report (a full disk):
    // a resumed run would not know them converted.
    const QStringList& unwritten() const { return m_unwritten; }

    // The line of one outcome, its newline included.
    static QByteArray line(const FileOutcome& outcome);

private:
    bool write(const QByteArray& bytes);

    QFile m_file;
    qint64 m_openedSize = 0;
    QString m_writeError;
    QStringList m_unwritten;
};

} // namespace velmora
