#include "app/desktop_services.h"

namespace velmora {

// Windows has no session bus; notices and the taskbar's progress are not
// offered there, and the run's end is told by its box alone.
struct DesktopServices::Connected {};

DesktopServices::DesktopServices() = default;

DesktopServices::~DesktopServices() = default;

DesktopHooks DesktopServices::hooks() const {
    return {};
}

} // namespace velmora
