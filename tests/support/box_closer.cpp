#include "support/box_closer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace velmora::test {

BoxCloser::BoxCloser(QMessageBox::StandardButton press)
    : BoxCloser([press](QMessageBox& box) {
          QAbstractButton* target = box.button(press);
          if (target == nullptr) {
              target = box.buttons().value(0);
          }
          QTest::mouseClick(target, Qt::LeftButton);
      }) {}

BoxCloser::BoxCloser(std::function<void(QMessageBox&)> answer) : m_answer(std::move(answer)) {
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
    m_answer(*box);
}

} // namespace velmora::test
