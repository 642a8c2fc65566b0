#pragma once

#include "app/desktop_notifier.h"

#include <QList>
#include <QString>

#include <functional>

namespace velmora::test {

// A DesktopNotifier that keeps every notice, with what clicking it would do.
class RecordingNotifier : public DesktopNotifier {
public:
    struct Notice {
        QString title;
        QString body;
        std::function<void()> clicked;
    };

    void notify(const QString& title, const QString& body, std::function<void()> clicked) override {
        notices.append({title, body, std::move(clicked)});
    }

    QList<Notice> notices;
};

} // namespace velmora::test
