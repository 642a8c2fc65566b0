#pragma once

namespace velmora {

// The pointer feedback of a run: the main window's pointer (0 default,
// 11 busy) and the application-wide one that the stages set.
class BusyPointer {
public:
    static constexpr int Default = 0;
    static constexpr int Busy = 11;

    virtual ~BusyPointer() = default;
    virtual void setWindowPointer(int pointer) = 0;
    virtual void setApplicationPointer(int pointer) = 0;
};

} // namespace velmora
