#include "app/settings_store.h"

#include "app/setting.h"
#include "base/prompter.h"

#include <QDir>
#include <QStringList>

namespace velmora {

namespace {

constexpr QSettings::Format userFormat() {
#ifdef Q_OS_WIN
    return QSettings::NativeFormat; // the registry: one key per section, string values
#else
    return QSettings::IniFormat;
#endif
}

} // namespace

SettingsStore::SettingsStore(Prompter& prompter)
    : m_prompter(prompter),
      m_settings(userFormat(), QSettings::UserScope, applicationName(), applicationName()) {}

SettingsStore::SettingsStore(Prompter& prompter, const QString& iniFile)
    : m_prompter(prompter), m_settings(iniFile, QSettings::IniFormat) {}

QString SettingsStore::path(const QString& key) {
    return sectionName() + QLatin1Char('/') + key;
}

QString SettingsStore::GetSetting(const QString& key, const QString& defaultValue) const {
    const QVariant value = m_settings.value(path(key));
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited INI line with bare commas reads back as a list.
    if (value.metaType().id() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

QString SettingsStore::read(const Setting& setting) const {
    return GetSetting(QString::fromLatin1(setting.key), setting.defaultText());
}

void SettingsStore::write(const Setting& setting, const QString& value) {
    SaveSetting(QString::fromLatin1(setting.key), value);
}

void SettingsStore::SaveSetting(const QString& key, const QString& value) {
    m_settings.setValue(path(key), value);
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError || !m_settings.isWritable()) {
        reportWriteFailure();
    }
}

void SettingsStore::reportWriteFailure() {
    if (m_writeFailed) {
        return;
    }
    m_writeFailed = true;
    m_prompter.message(QStringLiteral("Your settings cannot be saved to ") +
                           QDir::toNativeSeparators(location()) +
                           QStringLiteral(".\n\nChanges you make now will be forgotten when the "
                                          "program ends."),
                       {}, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

} // namespace velmora
