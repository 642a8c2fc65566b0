#pragma once

#include "base/path_style.h"
#include "convert/run_request.h"

#include <QString>
#include <QStringList>

// How delivered page images are named: the document's name prefix (its file
// name up to the first "."), "-", the page number in at least three digits,
// ".jpg".
namespace velmora {

// The file name's text before its first "."; the whole name without one.
QString PagePrefix(const QString& fileName);

// The prefix of a source's pages: that of the PDF the source would become.
QString SourcePagePrefix(const QString& source, PathStyle style = nativePathStyle());

// The folder a source's pages go to: the chosen one, or the source's own;
// empty when they go nowhere.
QString PagesFolder(const QString& source, OutputChoice output, const QString& outputFolder,
                    PathStyle style = nativePathStyle());

// Two rows of one run whose pages take the same names in one folder, and
// are different sources: the later row's pages replace the earlier row's.
struct PageNameClash {
    int earlier = 0; // rows counted from 0
    int later = 0;
    QString folder;

    bool operator==(const PageNameClash&) const = default;
};

// The clashes a run of these sources will meet if every row makes pages:
// each row with the next later row of a different source and the same page
// names. A source listed twice is no clash: it makes its own pages again.
QList<PageNameClash> PageNameClashes(const QStringList& sources, OutputChoice output,
                                     const QString& outputFolder,
                                     PathStyle style = nativePathStyle());

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
