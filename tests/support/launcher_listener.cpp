#include "support/launcher_listener.h"

namespace velmora::test {

bool LauncherListener::listenOn(QDBusConnection bus) {
    return bus.connect({}, {}, QStringLiteral("com.canonical.Unity.LauncherEntry"),
                       QStringLiteral("Update"), this,
                       SLOT(update(QString, QVariantMap, QDBusMessage)));
}

void LauncherListener::update(const QString& uri, const QVariantMap& properties,
                              const QDBusMessage& message) {
    updates.append({message.path(), uri, properties});
}

} // namespace velmora::test
