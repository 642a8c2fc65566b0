#pragma once

#include "base/prompter.h"

#include <QList>

#include <deque>
#include <functional>
#include <utility>

namespace velmora::test {

// A Prompter that records every box and answers from scripted queues. An
// empty queue, or a scripted answer the box has no button for, answers as
// Enter would: No to a question, else OK; a cancel for the dialogs.
class RecordingPrompter : public Prompter {
public:
    struct Box {
        QString kind; // "message", "askText", "pickFiles", "pickFolder"
        QString text; // the dialog's filter for "pickFiles"
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        QString preset; // the answer offered, or where the dialog starts
        QString details;
    };

    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                   const QString& details) override {
        boxes.append({"message", text, title, buttons, icon, {}, details});
        using enum Answer;
        const Answer enter = buttons == Buttons::YesNo ? No : Ok;
        const Answer scripted = next(answers, enter);
        m_dismissed = false;
        if (whileOpen) {
            whileOpen(boxes.back());
        }
        // No user can press a button the box does not have.
        const bool offered = scripted == enter || (buttons == Buttons::YesNo && scripted == Yes) ||
                             (buttons == Buttons::OkOpenFolder && scripted == OpenFolder);
        return std::exchange(m_dismissed, false) || !offered ? enter : scripted;
    }
    void dismissOpenMessage() override {
        ++dismissals;
        m_dismissed = true;
    }
    std::optional<QString> askText(const QString& prompt, const QString& title,
                                   const QString& preset) override {
        boxes.append({"askText", prompt, title, Buttons::Ok, Icon::None, preset, {}});
        return next(textAnswers);
    }
    QStringList pickFiles(const QString& title, const QString& filter,
                          const QString& startFolder) override {
        boxes.append({"pickFiles", filter, title, Buttons::Ok, Icon::None, startFolder, {}});
        return next(fileAnswers);
    }
    QString pickFolder(const QString& title, const QString& startFolder) override {
        boxes.append({"pickFolder", {}, title, Buttons::Ok, Icon::None, startFolder, {}});
        return next(folderAnswers);
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const Box& box : boxes) {
            if (box.kind == "message") {
                texts.append(box.text);
            }
        }
        return texts;
    }

    QList<Box> boxes;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> textAnswers;
    std::deque<QStringList> fileAnswers;
    std::deque<QString> folderAnswers;
    // Runs while a message box is open (inside message()), as a real box's
    // event loop would; a dismissal meanwhile answers as Esc does.
    std::function<void(const Box&)> whileOpen;
    int dismissals = 0;

private:
    template <typename T> static T next(std::deque<T>& queue, T fallback = {}) {
        if (queue.empty()) {
            return fallback;
        }
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }

    bool m_dismissed = false;
};

} // namespace velmora::test
