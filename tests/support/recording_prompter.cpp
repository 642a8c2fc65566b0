#include "support/recording_prompter.h"

#include <utility>

namespace velmora::test {

namespace {

template <typename T> T takeFront(std::deque<T>& queue, T fallback) {
    if (queue.empty()) {
        return fallback;
    }
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

// Whether a box with these buttons can give this answer at all.
bool offers(Prompter::Buttons buttons, Prompter::Answer answer) {
    using enum Prompter::Answer;
    switch (buttons) {
    case Prompter::Buttons::YesNo:
        return answer == Yes || answer == No;
    case Prompter::Buttons::OkOpenFolder:
        return answer == Ok || answer == OpenFolder;
    case Prompter::Buttons::Ok:
        break;
    }
    return answer == Ok;
}

} // namespace

Prompter::Answer RecordingPrompter::message(const QString& text, const QString& title,
                                            Buttons buttons, Icon icon, const QString& details) {
    boxes.append({QStringLiteral("message"), text, title, buttons, icon, {}, details});
    const Answer fallback = buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    const Answer scripted = takeFront(answers, fallback);
    if (whileOpen) {
        m_dismissed = false;
        whileOpen(boxes.back());
        if (std::exchange(m_dismissed, false)) {
            return fallback;
        }
    }
    // No user can press a button the box does not have: a scripted answer
    // the box cannot give is taken, and the box answers as Enter would.
    return offers(buttons, scripted) ? scripted : fallback;
}

std::optional<QString> RecordingPrompter::askText(const QString& prompt, const QString& title,
                                                  const QString& preset) {
    boxes.append({QStringLiteral("askText"), prompt, title, Buttons::Ok, Icon::None, preset, {}});
    if (textAnswers.empty()) {
        return std::nullopt;
    }
    std::optional<QString> answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

QStringList RecordingPrompter::pickFiles(const QString& title, const QString& filter,
                                         const QString& startFolder) {
    boxes.append(
        {QStringLiteral("pickFiles"), filter, title, Buttons::Ok, Icon::None, startFolder, {}});
    return takeFront(fileAnswers, QStringList{});
}

QString RecordingPrompter::pickFolder(const QString& title, const QString& startFolder) {
    boxes.append(
        {QStringLiteral("pickFolder"), {}, title, Buttons::Ok, Icon::None, startFolder, {}});
    return takeFront(folderAnswers, QString{});
}

void RecordingPrompter::dismissOpenMessage() {
    ++dismissals;
    m_dismissed = true;
}

QStringList RecordingPrompter::messageTexts() const {
    QStringList texts;
    for (const Box& box : boxes) {
        if (box.kind == QLatin1String("message")) {
            texts.append(box.text);
        }
    }
    return texts;
}

} // namespace velmora::test
