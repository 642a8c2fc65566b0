#pragma once

#include "base/located_trap.h"
#include "base/path_style.h"
#include "convert/conversion_port.h"
#include "convert/conversion_settings.h"
#include "convert/disk_space.h"
#include "convert/run_request.h"
#include "convert/work_layout.h"

namespace velmora {

class Sandbox;

// What every file of a run shares, fixed when the run starts.
struct RunContext {
    WorkLayout layout;
    const Sandbox& sandbox;
    ConversionPort& port;
    ConversionSettings settings;
    OutputChoice output = OutputChoice::BesideSource;
    QString outputFolder;
    int quality = 75;
    DiskSpaceOf diskSpace;
    PathStyle style = nativePathStyle();

    // A trap for the named steps of a location, whose failures go to the port.
    template <typename Location> LocatedTrap<Location> trap() const {
        return LocatedTrap<Location>([this](const Problem& problem) { port.problem(problem); });
    }

    // Whether the disk holding `path` has room to spare: with less than the
    // reserve free, nothing more is written there.
    bool hasRoom(const QString& path) const {
        return HasRoom(diskSpace ? diskSpace(path) : DiskSpace{}, settings.diskReserveBytes);
    }
};

} // namespace velmora
