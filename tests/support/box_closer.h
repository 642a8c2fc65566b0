#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

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
    // Answers each box with `answer` instead: a key, or a button of its own.
    explicit BoxCloser(std::function<void(QMessageBox&)> answer);
    QList<SeenBox> seen;

private:
    void look();

    std::function<void(QMessageBox&)> m_answer;
    QTimer m_timer;
};

} // namespace velmora::test
