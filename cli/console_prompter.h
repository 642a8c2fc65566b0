#pragma once

#include "base/prompter.h"

namespace velmora {

// Messages of the command-line twin: error reports (exclamation) go to
// stderr as one line "velmora-convert: description", plain messages such as
// the closing summary to stdout. It never asks: questions answer No and
// dialogs are cancelled.
class ConsolePrompter final : public Prompter {
public:
    // The details are left out: the text already says what a console needs.
    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                   const QString& details) override;
    void problem(const Problem& problem) override;
    std::optional<QString> askText(const QString& prompt, const QString& title,
                                   const QString& preset) override;
    QStringList pickFiles(const QString& title, const QString& filter,
                          const QString& startFolder) override;
    QString pickFolder(const QString& title, const QString& startFolder) override;
};

} // namespace velmora
