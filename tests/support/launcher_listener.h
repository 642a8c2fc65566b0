#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QVariantMap>

namespace velmora::test {

// A dock as far as Velmora's progress goes: it keeps every Update signal of
// com.canonical.Unity.LauncherEntry that reaches the bus, from anyone.
class LauncherListener : public QObject {
    Q_OBJECT
public:
    struct Update {
        QString path;
        QString uri;
        QVariantMap properties;
    };

    // False when it could not listen on `bus`.
    bool listenOn(QDBusConnection bus);

    QList<Update> updates;

private slots:
    void update(const QString& uri, const QVariantMap& properties, const QDBusMessage& message);
};

} // namespace velmora::test
