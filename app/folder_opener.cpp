#include "app/folder_opener.h"

#include "base/prompter.h"

#include <QDir>
#include <QObject>
#include <QPointer>

namespace velmora {

void OpenFolderOrSayWhy(const FolderOpener& open, Prompter& prompter, QObject* context,
                        const QString& folder) {
    if (!open) {
        return;
    }
    open(folder, [&prompter, watched = QPointer<QObject>(context), folder] {
        if (!watched) {
            return;
        }
        // Never inside the signal of the opener's process: the box waits.
        QMetaObject::invokeMethod(
            watched.data(),
            [&prompter, folder] {
                prompter.message(QStringLiteral("Could not open the folder %1.")
                                     .arg(QDir::toNativeSeparators(folder)),
                                 {}, Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
            },
            Qt::QueuedConnection);
    });
}

} // namespace velmora
