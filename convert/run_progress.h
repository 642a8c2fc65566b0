#pragma once

#include <QString>

namespace velmora {

// How far a run has come: each host words it its own way.
struct RunProgress {
    double percent = 0; // 0 to 100
    QString source;     // the earliest source still being converted; empty when none
};

} // namespace velmora
