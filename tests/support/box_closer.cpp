#include "support/box_closer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace velmora::test {

BoxCloser::BoxCloser(QMessageBox::StandardButton press) : m_press(press) {
    m_timer.setInterval(50);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
    m_timer.start();
}

void BoxCloser::look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        return;
    }
    SeenBox note{box->windowTitle(), box->text(), box->icon(), {}, box->detailedText()};
    for (QAbstractButton* button : box->buttons()) {
        note.buttons.append(button->text().remove(QLatin1Char('&')));
    }
    seen.append(note);
    QAbstractButton* target = box->button(m_press);
    if (target == nullptr) {
        target = box->buttons().value(0);
    }
    QTest::mouseClick(target, Qt::LeftButton);
}

} // namespace velmora::test
