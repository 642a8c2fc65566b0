#pragma once

#include "base/problem.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

// Every message box, question, input prompt and file/folder dialog of the
// program goes through this one interface, so tests can script and record them.
class Prompter {
public:
    // OkOpenFolder: OK and "Open Folder", OK the default (the "Done." box of
    // pages that went to one folder).
    enum class Buttons { Ok, YesNo, OkOpenFolder };
    enum class Icon { None, Exclamation, Information, Question, Critical };
    enum class Answer { Ok, Yes, No, OpenFolder };

    virtual ~Prompter() = default;

    // An empty title means the application title. details, when given, is
    // longer text the user may unfold (a box keeps its text short so it fits
    // on the screen).
    virtual Answer message(const QString& text, const QString& title = {},
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                           const QString& details = {}) = 0;

    // Closes the message box open now, if any, as if its escape button were
    // pressed (No, or OK): what it asked about has gone meanwhile.
    virtual void dismissOpenMessage() {}

    // A failed step: the "Application Error" box with its location and step
    // number; a terminal prints just the description.
    virtual void problem(const Problem& problem);

    // An input prompt; nullopt when cancelled.
    virtual std::optional<QString> askText(const QString& prompt, const QString& title,
                                           const QString& preset) = 0;

    // Files picked in an open-file dialog (several allowed); empty when cancelled.
    virtual QStringList pickFiles(const QString& title, const QString& filter,
                                  const QString& startFolder) = 0;

    // A folder picked in a folder dialog; the empty text when cancelled.
    virtual QString pickFolder(const QString& title, const QString& startFolder) = 0;
};

} // namespace velmora
