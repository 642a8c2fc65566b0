#pragma once

#include <QString>

namespace velmora {

// The progress bar: a value from 0 to 100 and the text shown on the bar.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void setValue(double percent) = 0;
    virtual void setText(const QString& text) = 0;
};

} // namespace velmora
