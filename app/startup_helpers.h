#pragma once

#include <QString>

// Start-up helpers of the main window that need no widget.
namespace velmora {

// The product name the window and the application title are made from.
QString ProductName();

// The id of the desktop entry (app.velmora.Velmora.desktop without its
// ending), by which the desktop ties windows, notices and dock icons to us.
QString DesktopEntryId();

// The maker's home page, opened now and then at start-up.
QString HomePageAddress();

// The application title for a product name: the last word is cut off until
// the text is 40 characters or shorter; a name of one word keeps it, so the
// title is never empty.
QString ApplicationTitleFor(const QString& productName);

// Sets the process-wide application title (from ProductName()).
void SetApplicationTitle();

// The title of every box and prompt that has none of its own; the
// application's name until SetApplicationTitle() has run.
QString ApplicationTitle();

// The user's desktop folder with a trailing separator; the home folder when
// the system has no desktop folder.
QString GetDesktopFolder();

// True when the file system reports a last-modified time for the path.
bool PathExists(const QString& path);

} // namespace velmora
