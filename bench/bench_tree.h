#pragma once

#include <QString>

namespace velmora::bench {

// The benchmarks' tree: 100,000 small files in 1,000 leaf folders
// (10 x 10 x 10 below root), half "*.ps" (every tenth of those "*.PS"), half
// "*.txt". False when it could not be built.
bool BuildBenchTree(const QString& root);

} // namespace velmora::bench
