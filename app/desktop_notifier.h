// The desktop's notices, as the window sees them.
#pragma once

#include <QString>

#include <functional>

namespace velmora {

// Shows a short notice on the desktop, outside the window; the D-Bus one
// talks to the desktop's notification service, tests record.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;

    // A notice with a title and one line of text. `clicked` runs when the
    // user clicks the notice itself. A desktop without notices shows nothing,
    // and the call never waits for it.
    virtual void notify(const QString& title, const QString& body,
                        std::function<void()> clicked) = 0;
};

} // namespace velmora
