#pragma once

#include <QByteArray>
#include <QString>

// Reading what Ghostscript and the document itself say, to tell the user why
// a file did not convert fully.
namespace velmora {

// Whether a line of Ghostscript's messages, trimmed, is one where it names
// an error it met ("Error: /undefined in foo", "**** Error: ...").
bool IsGhostscriptErrorLine(const QByteArray& trimmedLine);

// The line that best names Ghostscript's complaint in its messages: the
// last "Error:" (or "**** Error") line, else the last line that mentions an
// error; empty when there is none. Tidied as ReasonText does.
QString GhostscriptErrorLine(const QByteArray& messages);

// A line of Ghostscript's as a reason to show: control characters replaced,
// surrounding space trimmed, shortened to a line's length.
QString ReasonText(const QByteArray& line);

// Whether the file begins as a document Ghostscript reads: "%!" (PostScript),
// "%PDF", or the binary header of a DOS EPS file.
bool BeginsLikeADocument(const QString& path);

// The page count a PostScript document announces in its "%%Pages:" comment
// (also when deferred to its trailer with "(atend)"); -1 when it has none.
int AnnouncedPageCount(const QString& path);

} // namespace velmora
