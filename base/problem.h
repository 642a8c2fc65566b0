#pragma once

#include <QString>

namespace velmora {

// A run-time failure of one numbered step, as a value: what failed, in which
// procedure (its full location, e.g. "Velmora2021/08/31.PDF.PS_To_PDF") and
// at which step. The window shows it as the "Application Error" box; the
// command line prints the description alone.
struct Problem {
    QString description;
    QString location;
    int line = 0;

    // The error box's text: the description, where it happened, and whom to tell.
    QString boxText() const;
};

} // namespace velmora
