#pragma once

#include "base/path_style.h"
#include "convert/run_progress.h"
#include "convert/run_summary.h"

#include <QString>

// The window's words for what the engine reports.
namespace velmora {

// The end box's text: "Done." (or "Stopped.") with a line "<file>: <reason>"
// for each file not converted fully, at most `maxLines` of them (0: all)
// and then "and N more"; or why nothing was converted ("No files added.",
// "Folder does not exist. Please select another folder.", Ghostscript
// missing, with where users of `system` get it). Empty when there is
// nothing to tell (a cancelled run, one whose problems were already shown).
QString EndBoxText(const RunSummary& summary, int maxLines = 0,
                   PathStyle system = nativePathStyle());

// The bar's text while converting: "Processing: report.ps (Esc to stop)";
// empty when no file is being converted.
QString ProgressBarText(const RunProgress& progress, PathStyle style = nativePathStyle());

} // namespace velmora
