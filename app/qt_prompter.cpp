#include "app/qt_prompter.h"

#include "app/startup_helpers.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace velmora {

namespace {

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? ApplicationTitle() : title;
}

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString QtPrompter::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString QtPrompter::qtFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|'))) {
        return filter;
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).trimmed();
        if (name.isEmpty() && patterns.isEmpty()) {
            continue;
        }
        QString qtPatterns = patterns;
        qtPatterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the parentheses of the entry.
        entries.append(name.contains(QLatin1Char('('))
                           ? name
                           : name + QStringLiteral(" (") + qtPatterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

Prompter::Answer QtPrompter::message(const QString& text, const QString& title, Buttons buttons,
                                     Icon icon, const QString& details) {
    const QMessageBox::StandardButtons standard =
        buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                  : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(boxIcon(icon), titleOrDefault(title), displayText(text), standard, m_owner);
    box.setObjectName(QStringLiteral("PrompterMessageBox"));
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) {
        box.setDetailedText(displayText(details));
    }
    QPushButton* openFolder = nullptr;
    if (buttons == Buttons::OkOpenFolder) {
        // An action beside OK; OK stays the button Enter presses, and Esc
        // and closing the box still mean OK.
        openFolder = box.addButton(openFolderText(), QMessageBox::ActionRole);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    // A box opened from within another (a nested event loop) is the open one
    // until it closes; then the outer one is again.
    const QPointer<QMessageBox> outer = std::exchange(m_open, &box);
    box.exec();
    m_open = outer;
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkOpenFolder:
        return box.clickedButton() == openFolder ? Answer::OpenFolder : Answer::Ok;
    case Buttons::YesNo:
        break;
    }
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes : Answer::No;
}

void QtPrompter::dismissOpenMessage() {
    if (m_open) {
        m_open->reject();
    }
}

QString QtPrompter::openFolderText() {
    return QStringLiteral("Open Folder");
}

std::optional<QString> QtPrompter::askText(const QString& prompt, const QString& title,
                                           const QString& preset) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        m_owner, titleOrDefault(title), displayText(prompt), QLineEdit::Normal, preset, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return answer;
}

// The dialogs answer with "/" on every system; the list and the engine name
// files with the system's own separator.
QStringList QtPrompter::pickFiles(const QString& title, const QString& filter,
                                  const QString& startFolder) {
    QStringList files = QFileDialog::getOpenFileNames(m_owner, titleOrDefault(title), startFolder,
                                                      qtFilter(filter));
    for (QString& file : files) {
        file = QDir::toNativeSeparators(file);
    }
    return files;
}

QString QtPrompter::pickFolder(const QString& title, const QString& startFolder) {
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(
        m_owner, titleOrDefault(title), startFolder, QFileDialog::ShowDirsOnly));
}

} // namespace velmora
