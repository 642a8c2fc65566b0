#include "support/recording_prompter.h"

#include <utility>

namespace velmora::test {

namespace {

template <typename T> T takeFront(std::deque<T>& queue, T fallback = {}) {
    if (queue.empty()) {
        return fallback;
    }
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

Prompter::Answer RecordingPrompter::message(const QString& text, const QString& title,
                                            Buttons buttons, Icon icon, const QString& details) {
    boxes.append({"message", text, title, buttons, icon, {}, details});
    const Answer fallback = buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    const Answer scripted = takeFront(answers, fallback);
    m_dismissed = false;
    if (whileOpen) {
        whileOpen(boxes.back());
    }
    // No user can press a button the box does not have.
    using enum Answer;
    const bool offered = buttons == Buttons::YesNo ? scripted == Yes || scripted == No
                         : buttons == Buttons::OkOpenFolder
                             ? scripted == Ok || scripted == OpenFolder
                             : scripted == Ok;
    return std::exchange(m_dismissed, false) || !offered ? fallback : scripted;
}

void RecordingPrompter::dismissOpenMessage() {
    ++dismissals;
    m_dismissed = true;
}

std::optional<QString> RecordingPrompter::askText(const QString& prompt, const QString& title,
                                                  const QString& preset) {
    boxes.append({"askText", prompt, title, Buttons::Ok, Icon::None, preset, {}});
    return takeFront(textAnswers, std::optional<QString>());
}

QStringList RecordingPrompter::pickFiles(const QString& title, const QString& filter,
                                         const QString& startFolder) {
    boxes.append({"pickFiles", filter, title, Buttons::Ok, Icon::None, startFolder, {}});
    return takeFront(fileAnswers);
}

QString RecordingPrompter::pickFolder(const QString& title, const QString& startFolder) {
    boxes.append({"pickFolder", {}, title, Buttons::Ok, Icon::None, startFolder, {}});
    return takeFront(folderAnswers);
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
