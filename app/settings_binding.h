#pragma once

// Restores the output and quality controls from the settings store, and
// stores each change the moment it is made.

#include "app/window_layout.h"
#include "base/located_trap.h"

#include <QObject>

class QRadioButton;

namespace velmora {

class SettingsStore;

// The output option, the folder box and the quality slider, mirrored to the
// settings store; nothing is saved at exit, since every change is stored at once.
class SettingsBinding : public QObject {
    Q_OBJECT
public:
    SettingsBinding(const WindowControls& controls, SettingsStore& settings,
                    QObject* parent = nullptr);

    // Puts the stored choices into the controls (their change handlers run
    // as they change); failed steps are reported through `trap`.
    void restore(LocatedTrap<report_location::StartUp>& trap);

    void onOutputChoiceChanged();
    void onOutputFolderEdited();
    void onQualityChanged();

private:
    static void assignOption(QRadioButton* option, bool selected);

    const WindowControls& m_controls;
    SettingsStore& m_settings;
};

} // namespace velmora
