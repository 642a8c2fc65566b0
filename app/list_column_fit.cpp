#include "app/list_column_fit.h"

#include <QResizeEvent>
#include <QTreeView>

namespace velmora {

ListColumnFit::ListColumnFit(QTreeView& view)
    : QObject(&view), m_view(view), m_viewport(view.viewport()) {
    m_viewport->installEventFilter(this);
}

void ListColumnFit::fit() {
    // Before the list is shown its viewport is not laid out yet; the room it
    // will have is the list less its frame.
    const int width =
        m_view.isVisible() ? m_view.viewport()->width() : m_view.maximumViewportSize().width();
    m_view.setColumnWidth(0, width);
}

bool ListColumnFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        const int column = m_view.columnWidth(0);
        if (column <= resize->oldSize().width() || column < resize->size().width()) {
            m_view.setColumnWidth(0, resize->size().width());
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora
