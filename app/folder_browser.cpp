#include "app/folder_browser.h"

#include "base/path_helpers.h"
#include "base/prompter.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

QString FolderPickerTitle() {
    return QStringLiteral("Please select folder:");
}

QString BrowseForFolder(Prompter& prompter, const QString& title, const QString& startFolder) {
    // A start folder that is gone leaves the picker at its own default.
    const QString start = DirExists(startFolder) ? startFolder : QString();
    const QString picked = prompter.pickFolder(title, start);
    if (picked.isEmpty()) {
        return {};
    }
    // cleanPath drops a trailing separator except on a root.
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(picked).absoluteFilePath()));
}

} // namespace velmora
