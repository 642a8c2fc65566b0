#pragma once

#include <QString>

class QWidget;

namespace velmora {

// Where the optional skin lives, below the program folder.
QString SkinPath(const QString& programFolder);

// When the skin file exists beside the program: gives the window and its
// frames, labels, option buttons and check boxes the system's button-face
// colour, then applies the file as the window's style sheet. Returns whether
// a skin was applied; throws Failure when the file cannot be read (the
// colours changed so far stay).
bool ApplySkin(QWidget& window, const QString& programFolder);

} // namespace velmora
