#pragma once

#include "convert/busy_pointer.h"
#include "convert/progress_display.h"

namespace velmora {

// Progress of the command-line twin: one line per file on stderr. It has no
// pointer to show, so the busy pointer is ignored.
class ConsoleProgress final : public ProgressDisplay, public BusyPointer {
public:
    void setValue(double percent) override { m_percent = percent; }
    void setText(const QString& text) override;
    void setWindowPointer(PointerState) override {}
    void setApplicationPointer(PointerState) override {}

private:
    double m_percent = 0;
};

} // namespace velmora
