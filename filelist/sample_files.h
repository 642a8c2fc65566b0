#pragma once

#include <QString>

namespace velmora {

class FileList;

// The folder of example files beside the program.
QString SamplesFolder(const QString& programFolder);

// True when some row's text equals path exactly (letter case counts).
bool IsPathListed(const FileList& list, const QString& path);

// Appends every file directly in the samples folder (hidden ones too, never
// the files of its subfolders) that is not listed yet, in the order of the
// folder listing; returns how many rows were added. A missing folder adds
// nothing.
int LoadSampleFiles(FileList& list, const QString& programFolder);

} // namespace velmora
