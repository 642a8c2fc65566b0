#include "support/recording_prompter.h"

#include <utility>

namespace velmora::test {

Prompter::Answer RecordingPrompter::message(const QString& text, const QString& title,
                                            Buttons buttons, Icon icon, const QString& details) {
    boxes.append({"message", text, title, buttons, icon, {}, details});
    using enum Answer;
    const Answer enter = buttons == Buttons::YesNo ? No : Ok;
    const Answer scripted = next(answers, enter);
    m_dismissed = false;
    if (whileOpen) {
        whileOpen(boxes.back());
    }
    // No user can press a button the box does not have.
    const bool offered = buttons == Buttons::YesNo ? scripted == Yes || scripted == No
                         : buttons == Buttons::OkOpenFolder
                             ? scripted == Ok || scripted == OpenFolder
                             : scripted == Ok;
    return std::exchange(m_dismissed, false) || !offered ? enter : scripted;
}

QStringList RecordingPrompter::messageTexts() const {
    QStringList texts;
    for (const Box& box : boxes) {
        if (box.kind == "message") {
            texts.append(box.text);
        }
    }
    return texts;
}

} // namespace velmora::test
