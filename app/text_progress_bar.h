#pragma once

#include <QProgressBar>

namespace velmora {

// A progress bar that shows its text exactly as set: QProgressBar would read
// "%p", "%v" and "%m" inside a file name as placeholders. Screen readers get
// the same text as the bar's description; its value stays the percentage.
class TextProgressBar : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;

    void setBarText(const QString& text) {
        setFormat(text);
        setAccessibleDescription(text);
    }
    QString text() const override { return format(); }
};

} // namespace velmora
