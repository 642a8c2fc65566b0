#pragma once

#include <QProgressBar>

namespace velmora {

// A progress bar that shows its text exactly as set: QProgressBar would read
// "%p", "%v" and "%m" inside a file name as placeholders.
class TextProgressBar : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;

    void setBarText(const QString& text) { setFormat(text); }
    QString text() const override { return format(); }
};

} // namespace velmora
