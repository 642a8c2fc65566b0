#pragma once

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>

#include <optional>

namespace velmora {

// The hot spot a cursor file (".CUR": the icon layout with type 2) gives its
// first picture; nullopt for anything that is not a cursor file.
std::optional<QPoint> CursorHotSpot(const QByteArray& file);

// Loads a cursor file as a pointer, its hot spot kept inside the picture.
// Throws Failure 481 when the file holds no picture we can read.
QCursor LoadCursorFile(const QString& path);

} // namespace velmora
