#include "base/prompter.h"

namespace velmora {

void Prompter::problem(const Problem& problem) {
    message(problem.boxText(), QStringLiteral("Application Error"), Buttons::Ok, Icon::Exclamation);
}

} // namespace velmora
