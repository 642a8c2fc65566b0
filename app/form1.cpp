#include "app/form1.h"

namespace velmora {

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmora"));
    setFixedSize(536, 504);
}

} // namespace velmora
