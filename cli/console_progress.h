#pragma once

#include "convert/busy_pointer.h"
#include "convert/progress_display.h"

#include <QString>

namespace velmora {

// Progress of the command-line twin on stderr: on a terminal one line,
// rewritten in place as pages are made; elsewhere (a log, a scheduler's
// output file) one line each time the run moves on to another file. It has
// no pointer to show, so the busy pointer is ignored.
class ConsoleProgress final : public ProgressDisplay, public BusyPointer {
public:
    ConsoleProgress();

    void setValue(double percent) override;
    void setText(const QString& text) override;
    void setWindowPointer(PointerState) override {}
    void setApplicationPointer(PointerState) override {}

private:
    void show();

    bool m_terminal;
    double m_percent = 0;
    QString m_text;    // "Processing: ..." while a run goes on
    QString m_printed; // what the last line said
};

} // namespace velmora
