#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace velmora::test {

// What one message box showed.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString details;
};

// Waits for each message box that comes up, notes what it shows and presses
// one of its buttons with the mouse, as a user would.
class BoxCloser {
public:
    explicit BoxCloser(QMessageBox::StandardButton press);
    QList<SeenBox> seen;

private:
    void look();

    QMessageBox::StandardButton m_press;
    QTimer m_timer;
};

} // namespace velmora::test
