#pragma once

#include "app/launcher_progress.h"

#include <optional>
#include <vector>

namespace velmora::test {

// A LauncherProgress that notes each call in order: the fraction shown, or
// nullopt where the bar was hidden.
class RecordingLauncher : public LauncherProgress {
public:
    void show(double fraction) override { calls.emplace_back(fraction); }
    void hide() override { calls.emplace_back(std::nullopt); }

    std::vector<std::optional<double>> calls;
};

} // namespace velmora::test
