#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// Where delivered pages go.
enum class OutputChoice {
    Folder,       // "Save results to this folder:" with the folder given
    BesideSource, // "Save results in folder of original file"
    None,         // neither option selected: nothing is delivered
};

// What the user pressed Start with: the run converts exactly these sources,
// into this place, at this quality, whatever changes in the window meanwhile.
struct RunRequest {
    QStringList sources;
    OutputChoice output = OutputChoice::BesideSource;
    QString outputFolder; // with OutputChoice::Folder
    int quality = 75;     // JPEG quality, 0 to 100
};

} // namespace velmora
