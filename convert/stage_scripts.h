#pragma once

#include "base/path_style.h"
#include "convert/page_ranges.h"

#include <QString>

// The names and text of the scripts that run Ghostscript for the two stages.
// The PostScript stage's script comes with the program (ps/); the JPEG
// stage's is written for each run with the chosen quality, once for the
// whole document and once for each page range a long document is split into.
namespace velmora {

// On Windows the scripts run the Ghostscript this environment variable
// names, by its full path: the one found may be 64-bit (gswin64c) or 32-bit
// (gswin32c), and lie outside PATH.
inline constexpr char kGhostscriptVariable[] = "VELMORA_GHOSTSCRIPT";

QString PsToPdfScriptName(PathStyle style = nativePathStyle());
// The JPEG script for the whole document, or for one range of its pages.
QString JpegScriptName(PathStyle style = nativePathStyle(), PageRange range = {});
// The JPEG script without its final line break (WriteTextFile adds it). It
// exits with Ghostscript's status, so a Ghostscript that was killed or
// crashed is never taken for one that finished. Quality 0 ("Min.") asks
// Ghostscript for its lowest quality, 1.
QString JpegScriptText(int quality, PathStyle style = nativePathStyle(), PageRange range = {});

} // namespace velmora
