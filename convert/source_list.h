#pragma once

#include <QString>

namespace velmora {

// The rows of the file list as the run reads them: by position, 1-based.
// Rows may be appended while a run goes on.
class SourceList {
public:
    virtual ~SourceList() = default;
    virtual int count() const = 0;
    virtual QString text(int row) const = 0; // row from 1 to count()
};

} // namespace velmora
