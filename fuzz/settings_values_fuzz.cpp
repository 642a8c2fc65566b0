// Stored settings are text a user (or another program) may have edited: any
// text must give a value in range or a reported failure, never a crash.
#include "app/settings_values.h"
#include "base/failure.h"
#include "fuzz/fuzz_check.h"

#include <cmath>

using namespace velmora;
using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::text(data, size);
    const double number = LeadingNumber(text);
    const double rounded = RoundHalfEven(number);
    check(std::isnan(number) || std::isinf(number) || std::fabs(rounded - number) <= 0.5);
    try {
        const int quality = QualityFromText(text);
        check(quality >= 0 && quality <= 100);
    } catch (const Failure&) {
    }
    try {
        const bool truth = TruthFromText(text);
        check(TruthFromText(TruthText(truth)) == truth);
    } catch (const Failure&) {
    }
    return 0;
}
