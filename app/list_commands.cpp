// The file list's buttons, row removal and start-up files, each under its error-box location.
#include "app/list_commands.h"

#include "app/folder_browser.h"
#include "app/list_drops.h"
#include "app/setting.h"
#include "app/settings_store.h"
#include "app/window_pointer.h"
#include "base/located_trap.h"
#include "base/prompter.h"
#include "filelist/dialog_rows.h"
#include "filelist/file_list.h"
#include "filelist/folder_files.h"
#include "filelist/sample_files.h"

#include <optional>
#include <utility>

namespace velmora {

QString ListCommands::addFilesTitle() {
    return QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files");
}

QString ListCommands::addFilesFilter() {
    return QStringLiteral("PS Files (*.ps)");
}

QString ListCommands::tooManyFilesText() {
    return QStringLiteral("You've selected too many files to add.\r\rPlease try adding via the "
                          "\"Add All\" button.");
}

QString ListCommands::extensionPrompt() {
    return QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                          "files, doc for all doc files, etc.)");
}

QString ListCommands::samplesQuestion() {
    return QStringLiteral("Would you like this software to open the folder where these sample "
                          "files are stored (so that you can view them before working with "
                          "them)?");
}

ListCommands::ListCommands(QTreeView& view, FileList& files, Prompter& prompter,
                           SettingsStore& settings, WindowPointer& pointer, EventPump& events,
                           QString programFolder, FolderOpener openFolder, ListDrops& drops)
    : m_view(&view), m_files(files), m_prompter(prompter), m_settings(settings), m_pointer(pointer),
      m_events(events), m_programFolder(std::move(programFolder)),
      m_openFolder(std::move(openFolder)), m_drops(drops) {}

// Busy is the window's count of long operations, not
// ConversionRun::isConverting(): the rows must not shrink under "Add All"
// either.
bool ListCommands::busy() const {
    return m_pointer.isBusy();
}

ScanContext ListCommands::scanContext() const {
    return ScanContext{m_prompter, m_events, m_stopRequested, m_yieldIntervalMs};
}

void ListCommands::addFiles() {
    using Steps = report_location::AddFiles;
    LocatedTrap<Steps> trap(m_prompter);
    QStringList picked;
    trap.step(Steps::kShowDialog,
              [&] { picked = m_prompter.pickFiles(addFilesTitle(), addFilesFilter(), {}); });
    if (trap.test(Steps::kTestCancelled, [&] { return picked.isEmpty(); })) {
        return;
    }
    if (!SelectionFits(picked)) {
        m_prompter.message(tooManyFilesText());
        return;
    }
    trap.step(picked.size() == 1 ? Steps::kAddPickedFile : Steps::kAddPickedFiles,
              [&] { m_files.append(DialogRows(picked)); });
}

void ListCommands::addFolder() {
    using Steps = report_location::AddFolder;
    LocatedTrap<Steps> trap(m_prompter);
    QString extension;
    trap.step(Steps::kAskExtension, [&] {
        extension = m_prompter.askText(extensionPrompt(), {}, m_settings.read(setting::kExtension))
                        .value_or(QString());
    });
    if (trap.test(Steps::kTestNoExtension, [&] { return extension.isEmpty(); })) {
        return;
    }
    trap.step(Steps::kStoreExtension, [&] { m_settings.write(setting::kExtension, extension); });

    QString folder;
    trap.step(Steps::kPickFolder, [&] {
        folder =
            BrowseForFolder(m_prompter, FolderPickerTitle(), m_settings.read(setting::kLastFolder));
    });
    if (trap.test(Steps::kTestNoFolder, [&] { return folder.isEmpty(); })) {
        return;
    }
    trap.step(Steps::kStoreFolder, [&] { m_settings.write(setting::kLastFolder, folder); });

    // The window is busy while the walk goes on, and stays so for as long as
    // another long operation (a conversion) holds it too.
    std::optional<WindowPointer::BusyScope> walking;
    trap.step(Steps::kShowBusy, [&] { walking.emplace(m_pointer); });
    QStringList rows;
    trap.step(Steps::kWalkFolders, [&] {
        rows = CollectFolderFiles(folder, extension, scanContext(),
                                  trap.bind(Steps::kListFolderFiles));
    });
    trap.step(Steps::kAddRows, [&] { m_files.append(rows); });
    trap.step(Steps::kShowIdle, [&] { walking.reset(); });
}

void ListCommands::clearList() {
    using Steps = report_location::ClearList;
    LocatedTrap<Steps> trap(m_prompter);
    if (trap.test(Steps::kClear, [&] { return !busy(); })) {
        trap.step(Steps::kClear, [&] { m_files.clear(); });
    }
}

void ListCommands::loadSamples() {
    LocatedTrap<report_location::LoadSamples> trap(m_prompter);
    trap.step(report_location::LoadSamples::kLoad, [&] {
        LoadSampleFiles(m_files, m_programFolder);
        const Prompter::Answer answer = m_prompter.message(
            samplesQuestion(), {}, Prompter::Buttons::YesNo, Prompter::Icon::None);
        if (answer == Prompter::Answer::Yes) {
            OpenFolderOrSayWhy(m_openFolder, m_prompter, m_view.data(),
                               SamplesFolder(m_programFolder));
        }
    });
}

void ListCommands::removeSelectedRow() {
    if (busy() || m_files.count() == 0 || !m_view || m_view->selectionModel() == nullptr) {
        return;
    }
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    m_files.removeRow(selected.front().row());
}

bool ListCommands::onListKey(int key) {
    if (key != Qt::Key_Delete) {
        return false;
    }
    removeSelectedRow();
    return true;
}

void ListCommands::openWith(const QStringList& paths) {
    const WindowPointer::BusyScope adding(m_pointer);
    m_drops.addDroppedPaths(paths);
}

} // namespace velmora
