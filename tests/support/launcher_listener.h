#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariantMap>

namespace velmora::test {

// A dock as far as Velmora's progress goes: it keeps every Update signal of
// com.canonical.Unity.LauncherEntry on the bus, from anyone.
class LauncherListener : public QObject {
    Q_OBJECT
public:
    struct Update {
        QString path;
        QString uri;
        QVariantMap properties;
        bool barShown() const { return properties.value("progress-visible").toBool(); }
    };

    bool listenOn(QDBusConnection bus) {
        return bus.connect({}, {}, QStringLiteral("com.canonical.Unity.LauncherEntry"),
                           QStringLiteral("Update"), this,
                           SLOT(update(QString, QVariantMap, QDBusMessage)));
    }

    QList<Update> updates;

private slots:
    void update(const QString& uri, const QVariantMap& properties, const QDBusMessage& message) {
        updates.append({message.path(), uri, properties});
    }
};

} // namespace velmora::test
