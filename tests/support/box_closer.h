#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace velmora::test {

// What one message box showed.
struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString details;
};

// Notes what each message box that comes up shows, then answers it with
// `answer` (a key, or a button of its own), as a user would.
class BoxCloser {
public:
    explicit BoxCloser(std::function<void(QMessageBox&)> answer) : m_answer(std::move(answer)) {
        QObject::connect(&m_look, &QTimer::timeout, [this] { look(); });
        m_look.start(kLookEveryMs);
    }

    QList<SeenBox> seen;

private:
    static constexpr int kLookEveryMs = 50;

    void look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        seen.append({box->windowTitle(), box->text(), box->icon(), {}, box->detailedText()});
        for (const QAbstractButton* button : box->buttons()) {
            seen.last().buttons.append(button->text().remove('&'));
        }
        m_answer(*box);
    }

    std::function<void(QMessageBox&)> m_answer;
    QTimer m_look;
};

} // namespace velmora::test
