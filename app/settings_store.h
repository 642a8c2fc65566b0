#pragma once

#include <QSettings>
#include <QString>

namespace velmora {

class Prompter;
struct Setting;

// The per-user store of the user's choices: application "Dravik", section
// "Velmora", one text per key. On Linux an INI file in the user's
// configuration folder ($XDG_CONFIG_HOME/Dravik/Dravik.ini); on Windows the
// current user's registry. Every write reaches the disk before SaveSetting
// returns; the first write that fails is reported to the user once.
class SettingsStore {
public:
    explicit SettingsStore(Prompter& prompter);
    // A store kept in the given INI file.
    SettingsStore(Prompter& prompter, const QString& iniFile);

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or defaultValue when the key is missing.
    QString GetSetting(const QString& key, const QString& defaultValue = {}) const;
    // Stores value (created or replaced) and writes it through at once.
    void SaveSetting(const QString& key, const QString& value);

    // The same for a setting of the table in app/setting.h.
    QString read(const Setting& setting) const;
    void write(const Setting& setting, const QString& value);

    // Where the values live (a file path, or a registry path on Windows).
    QString location() const { return m_settings.fileName(); }
    bool writeFailed() const { return m_writeFailed; }

    static QString applicationName() { return QStringLiteral("Dravik"); }
    static QString sectionName() { return QStringLiteral("Velmora"); }

private:
    static QString path(const QString& key);
    void reportWriteFailure();

    Prompter& m_prompter;
    mutable QSettings m_settings;
    bool m_writeFailed = false;
};

} // namespace velmora
