#include "app/settings_binding.h"

#include "app/setting.h"
#include "app/settings_store.h"
#include "app/settings_values.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

namespace velmora {

SettingsBinding::SettingsBinding(const WindowControls& controls, SettingsStore& settings,
                                 QObject* parent)
    : QObject(parent), m_controls(controls), m_settings(settings) {
    // Either option's selection stores both; a button that loses the
    // selection says so too, but the one that gains it already told.
    for (QRadioButton* option : {controls.intoFolderOption, controls.besideSourceOption}) {
        connect(option, &QRadioButton::toggled, this, [this](bool selected) {
            if (selected) {
                onOutputChoiceChanged();
            }
        });
    }
    connect(controls.outputFolderEdit, &QLineEdit::textChanged, this,
            &SettingsBinding::onOutputFolderEdited);
    connect(controls.qualitySlider, &QSlider::valueChanged, this,
            &SettingsBinding::onQualityChanged);
}

void SettingsBinding::restore(LocatedTrap<report_location::StartUp>& trap) {
    using Steps = report_location::StartUp;
    const WindowControls& c = m_controls;
    trap.step(Steps::kRestoreOutputFolder,
              [&] { c.outputFolderEdit->setText(m_settings.read(setting::kOutputFolder)); });
    trap.step(Steps::kRestoreQuality, [&] {
        c.qualitySlider->setValue(QualityFromText(m_settings.read(setting::kJpgQuality)));
    });
    trap.step(Steps::kShowQualityCaption,
              [&] { c.qualityFrame->setTitle(QualityCaption(c.qualitySlider->value())); });
    trap.step(Steps::kRestoreIntoFolderOption, [&] {
        assignOption(c.intoFolderOption,
                     TruthFromText(m_settings.read(setting::kIntoFolderSelected)));
    });
    trap.step(Steps::kRestoreBesideSourceOption, [&] {
        assignOption(c.besideSourceOption,
                     TruthFromText(m_settings.read(setting::kBesideSourceSelected)));
    });
    if (trap.test(Steps::kTestIntoFolder, [&] { return c.intoFolderOption->isChecked(); })) {
        trap.step(Steps::kEnableFolderRow, [&] { c.folderRow->setEnabled(true); });
    } else {
        trap.step(Steps::kDisableFolderRow, [&] { c.folderRow->setEnabled(false); });
    }
}

void SettingsBinding::assignOption(QRadioButton* option, bool selected) {
    if (selected) {
        option->setChecked(true); // its change handler runs when this selects it
        return;
    }
    if (!option->isChecked()) {
        return;
    }
    // A stored choice may select neither option, which an auto-exclusive
    // button does not allow by itself.
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

void SettingsBinding::onOutputChoiceChanged() {
    const bool intoFolder = m_controls.intoFolderOption->isChecked();
    m_settings.write(setting::kIntoFolderSelected, TruthText(intoFolder));
    m_settings.write(setting::kBesideSourceSelected,
                     TruthText(m_controls.besideSourceOption->isChecked()));
    m_controls.folderRow->setEnabled(intoFolder);
}

void SettingsBinding::onOutputFolderEdited() {
    m_settings.write(setting::kOutputFolder, m_controls.outputFolderEdit->text());
}

void SettingsBinding::onQualityChanged() {
    m_controls.qualityFrame->setTitle(QualityCaption(m_controls.qualitySlider->value()));
    m_settings.write(setting::kJpgQuality, QString::number(m_controls.qualitySlider->value()));
}

} // namespace velmora
