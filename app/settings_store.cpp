#include "app/settings_store.h"

#include "app/setting.h"
#include "base/prompter.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace velmora {

namespace {

constexpr QSettings::Format userFormat() {
#ifdef Q_OS_WIN
    return QSettings::NativeFormat; // the registry: one key per section, string values
#else
    return QSettings::IniFormat;
#endif
}

// The text after "=" on key's line in section of an INI file, as written
// (the last such line wins, as in QSettings); nullopt when there is none.
// QSettings splits a bare value at its commas and trims the parts, which
// loses what a folder name holds, so such values are read again here.
std::optional<QString> rawIniValue(const QString& iniFile, const QString& section,
                                   const QString& key) {
    QFile file(iniFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    std::optional<QString> value;
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = QUrl::fromPercentEncoding(line.mid(1, line.size() - 2).toUtf8()) == section;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inSection || equals < 0) {
            continue;
        }
        if (QUrl::fromPercentEncoding(line.left(equals).trimmed().toUtf8()) == key) {
            value = line.mid(equals + 1).trimmed();
        }
    }
    return value;
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
    // Only a hand-edited INI line with bare commas reads back as a list (the
    // store writes such text quoted): its text is taken as it stands.
    if (value.metaType().id() == QMetaType::QStringList) {
        if (m_settings.format() == QSettings::IniFormat) {
            if (const auto raw = rawIniValue(location(), sectionName(), key)) {
                return *raw;
            }
        }
        return value.toStringList().join(QLatin1Char(','));
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
