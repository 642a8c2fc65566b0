#pragma once

#include "base/path_style.h"

#include <QString>
#include <QStringList>

// How delivered page images are named: the document's name prefix (its file
// name up to the first "."), "-", the page number in at least three digits,
// ".jpg".
namespace velmora {

// The file name's text before its first "."; the whole name without one.
QString PagePrefix(const QString& fileName);

// "-001" for 1, "-042" for 42, "-1000" for 1000.
QString PageSuffix(int page);

// folder + separator + prefix + suffix + ".jpg", tidied by FixPath.
QString DeliveredPageName(const QString& folder, const QString& prefix, int page,
                          PathStyle style = nativePathStyle());

// The page number in a Ghostscript output name "current-NNN.jpg"; -1 when
// the name has another form.
int PageImageNumber(const QString& name);

// Page images in page order: by their number, not by name (so that
// current-1000.jpg follows current-999.jpg); other names last, by name.
QStringList SortPageImages(QStringList names);

} // namespace velmora
