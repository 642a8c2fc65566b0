#include "base/problem.h"

#include "base/error_trap.h"

namespace velmora {

QString Problem::boxText() const {
    return ErrorTrap::reportText(description, location, line);
}

} // namespace velmora
