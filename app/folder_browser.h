#pragma once

#include <QString>

namespace velmora {

class Prompter;

// The title of every folder picker of the window ("Add All" and the output
// folder's "...").
QString FolderPickerTitle();

// Lets the user pick a folder, opened at startFolder when that exists. Gives
// the folder's absolute path in native form, without a trailing separator
// except for a root ("/", "C:\"), or the empty text when the user cancelled.
QString BrowseForFolder(Prompter& prompter, const QString& title, const QString& startFolder);

} // namespace velmora
