#pragma once

namespace velmora {

// The main window's pointer, with the numbers its states are known by. The
// window's pointer being Busy is what list editing waits for; a conversion
// and "Add All" set it while they work.
enum class PointerState {
    Default = 0, // the arrow
    Busy = 11,   // the hourglass
    Custom = 99, // the hand picture, over the buttons
};

} // namespace velmora
