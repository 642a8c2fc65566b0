#include "convert/conversion_run.h"

namespace velmora {

bool RunSummary::allSucceeded() const {
    for (const FileOutcome& file : files) {
        if (file.failed()) {
            return false;
        }
    }
    return true;
}

QString RunSummary::doneMessage() const {
    QString text = QStringLiteral("Done.");
    for (const FileOutcome& file : files) {
        if (file.failed()) {
            text += QLatin1Char('\n') + file.source + QStringLiteral(": ") + file.failure;
        }
    }
    return text;
}

ConversionRun::ConversionRun(ConversionWiring wiring, ConversionSettings settings)
    : m_wiring(std::move(wiring)), m_settings(std::move(settings)) {}

RunSummary ConversionRun::PushButton2_Click() {
    return {}; // being written
}

} // namespace velmora
