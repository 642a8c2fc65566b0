#pragma once

#include "base/pointer_state.h"

namespace velmora {

// The pointer feedback of a run: the main window's pointer (Default or
// Busy) and the application-wide one that the stages set.
class BusyPointer {
public:
    using enum PointerState;

    virtual ~BusyPointer() = default;
    virtual void setWindowPointer(PointerState pointer) = 0;
    virtual void setApplicationPointer(PointerState pointer) = 0;
};

} // namespace velmora
