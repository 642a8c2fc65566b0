#pragma once

#include <QString>
#include <QtGlobal>

namespace velmora {

// What tells one version of a source from another without reading it: its
// size in bytes and its modification time in whole seconds since the epoch,
// as a report line records them. A stamp with an unknown part matches
// nothing, so a source nobody could look at is always converted again.
struct SourceStamp {
    static constexpr qint64 kUnknown = -1;

    qint64 size = kUnknown;
    qint64 mtime = kUnknown;

    bool known() const { return size != kUnknown && mtime != kUnknown; }
    bool matches(const SourceStamp& other) const {
        return known() && size == other.size && mtime == other.mtime;
    }

    // The file at path as it is now (a link followed, as the run opens it);
    // unknown when there is no such file.
    static SourceStamp of(const QString& path);
};

} // namespace velmora
