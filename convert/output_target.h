#pragma once

#include <QString>

namespace velmora {

// Where delivered pages go: read each time a page or PDF is placed, so a
// change during a run applies from the next delivery on.
class OutputTarget {
public:
    enum class Choice {
        Folder,       // "Save results to this folder:" with folderText()
        BesideSource, // "Save results in folder of original file"
        None,         // neither option selected: nothing is delivered
    };

    virtual ~OutputTarget() = default;
    virtual Choice choice() const = 0;
    virtual QString folderText() const = 0;
};

} // namespace velmora
