#pragma once

#include "base/prompter.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace velmora {

// The program's boxes and dialogs as the user sees them: QMessageBox,
// QInputDialog and QFileDialog, modal to the owner window.
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* owner = nullptr) : m_owner(owner) {}

    void setOwner(QWidget* owner) { m_owner = owner; }

    // OK alone, Yes/No, or OK and "Open Folder"; the exclamation icon is
    // Qt's warning icon; details are the box's detailed text.
    Answer message(const QString& text, const QString& title = {}, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None, const QString& details = {}) override;
    void dismissOpenMessage() override;
    std::optional<QString> askText(const QString& prompt, const QString& title,
                                   const QString& preset) override;
    // filter may be Qt's form ("PS Files (*.ps)") or the bar-separated one
    // the list's dialog texts use ("PS Files (*.ps)|*.ps|").
    QStringList pickFiles(const QString& title, const QString& filter,
                          const QString& startFolder) override;
    // Directories only.
    QString pickFolder(const QString& title, const QString& startFolder) override;

    // The caption of the "Done." box's second button.
    static QString openFolderText();
    // The text a box shows: CR and CR LF line breaks (the error box's text
    // has them) become "\n".
    static QString displayText(const QString& text);
    // A bar-separated filter ("Name|pattern|Name|pattern") in Qt's form.
    static QString qtFilter(const QString& filter);

private:
    QPointer<QWidget> m_owner;
    QPointer<QMessageBox> m_open; // the box message() shows now
};

} // namespace velmora
