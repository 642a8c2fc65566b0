#pragma once

#include "base/failure.h"
#include "convert/file_failure.h"

#include <QString>

class QFile;

// File input and output for files that strangers name or Ghostscript makes:
// no open ever blocks (a FIFO waits for a writer) or follows a link it should
// not, and a delivered page replaces its namesake in one step.
namespace velmora {

// Opens a source for reading, only when it is a regular file with something
// in it. Returns why it cannot be read (not a regular file, empty, or the
// system's reason); no failure when `file` is open.
FileFailure OpenSource(const QString& path, QFile& file);

// Opens a file a Ghostscript made, only when it is a regular file and never
// through a link: a document that got past Ghostscript's safe mode must not
// make us read, and deliver as its page, a file it could not see. Throws
// Failure when it cannot.
void OpenOwnOutput(const QString& path, QFile& file);

// Copies everything from one open file to another; plain reads and writes,
// so a failure carries the real reason ("No space left on device").
void CopyContents(QFile& source, QFile& target);

// Copies an open source into a new file at `to`. Throws Failure.
void CopyInto(QFile& source, const QString& to);

// Gives `to` the contents of the Ghostscript-made file `from`: a hard link
// where the file system allows, else a copy. Throws Failure.
void LinkOrCopyOwnOutput(const QString& from, const QString& to);

// Places a page: written beside `target`, then renamed over it, so a page of
// that name is replaced in one step and a full disk leaves the old one whole.
// A new page gets the mode the user's umask gives, a replaced one keeps its
// mode, and a link of the page's name is replaced, never followed. Throws
// Failure.
void DeliverFile(const QString& image, const QString& target);

// The system's own part of DeliverFile, beside the other system calls.
namespace page_part {

// Creates `part` for writing, as a new file only (never one that exists,
// never through a link), and hands it to `out`; it takes the mode of a
// regular file at `target` when there is one. False when the name is taken;
// throws Failure for any other reason.
bool Create(const QString& part, const QString& target, QFile& out);

// Renames `part` over `target` in one step: a page or a link of that name is
// replaced as a whole, never written through. Throws Failure.
void Replace(const QString& part, const QString& target);

// The failure of saving `target`, for the system's reason.
Failure NotSaved(const QString& target, const QString& reason);

} // namespace page_part

} // namespace velmora
