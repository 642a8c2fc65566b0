#include "app/skin.h"

#include "base/failure.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace velmora {

namespace {

void paintBackground(QWidget& widget, const QColor& colour, bool fill) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    // Buttons fill with their button colour, not the window colour.
    palette.setColor(widget.backgroundRole(), colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(fill);
}

bool takesFaceColour(const QWidget* widget) {
    return qobject_cast<const QRadioButton*>(widget) != nullptr ||
           qobject_cast<const QCheckBox*>(widget) != nullptr ||
           qobject_cast<const QGroupBox*>(widget) != nullptr ||
           qobject_cast<const QLabel*>(widget) != nullptr;
}

} // namespace

QString SkinPath(const QString& programFolder) {
    return programFolder + QStringLiteral("/x/o.cjs");
}

bool ApplySkin(QWidget& window, const QString& programFolder) {
    const QString path = SkinPath(programFolder);
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    const QColor face = QApplication::palette().color(QPalette::Button);
    paintBackground(window, face, true);
    const QList<QWidget*> children = window.findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (takesFaceColour(child)) {
            // Labels and option buttons show their frame's fill, now the same colour.
            paintBackground(*child, face, qobject_cast<QGroupBox*>(child) != nullptr);
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw Failure::fromFile(file, QStringLiteral("open"));
    }
    window.setStyleSheet(QString::fromUtf8(file.readAll()));
    return true;
}

} // namespace velmora
