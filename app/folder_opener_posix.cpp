#include "app/folder_opener.h"

#include <QProcess>
#include <QUrl>

namespace velmora {

FolderOpener DesktopFolderOpener(const QString& opener) {
    const QString program = opener.isEmpty() ? QStringLiteral("xdg-open") : opener;
    return [program](const QString& folder, const std::function<void()>& failed) {
        // Owned by nobody but itself: a file manager it becomes must outlive
        // the window, and the window never waits for it.
        auto* process = new QProcess;
        process->setProgram(program);
        process->setArguments({QUrl::fromLocalFile(folder).toString()});
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int status, QProcess::ExitStatus how) {
                             if ((how != QProcess::NormalExit || status != 0) && failed) {
                                 failed();
                             }
                             process->deleteLater();
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [process, failed](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart) {
                                 if (failed) {
                                     failed();
                                 }
                                 process->deleteLater();
                             }
                         });
        process->start();
    };
}

} // namespace velmora
