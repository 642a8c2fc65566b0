#pragma once

#include "cli/source_stamp.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// What an earlier run's report says was converted, for --resume. Lines are
// read in order and the last line of a source counts, since a later run
// converted it again. A damaged line is passed over: a run killed on a
// system that does not write a line in one piece leaves the end of it
// missing, and the next run, which ends that line before adding its own,
// leaves it standing between whole lines.
class ReportLedger {
public:
    using StampOf = std::function<SourceStamp(const QString&)>;

    // Reads a report as --report writes it; empty text is an empty ledger.
    static ReportLedger read(const QByteArray& text);

    // Whether source converted without failure when it was the file `now`
    // describes (or its pages were replaced by a later source's, which a
    // second conversion would only undo).
    bool converted(const QString& source, const SourceStamp& now) const;
    // The sources not converted as they are now, in their order.
    QStringList remaining(const QStringList& sources,
                          const StampOf& stampOf = SourceStamp::of) const;
    // The number, counted from 1, of the first damaged line; 0 when every
    // line was whole.
    int damagedLine() const { return m_damagedLine; }

private:
    QHash<QString, SourceStamp> m_converted; // as each source was when it was opened
    int m_damagedLine = 0;
};

} // namespace velmora
