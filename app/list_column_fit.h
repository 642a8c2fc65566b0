// Keeps the file list's one column as wide as the list.
#pragma once

#include <QObject>

class QTreeView;
class QWidget;

namespace velmora {

// The list's single column fills the width the list shows rows in, and
// follows it when that width changes (the list resized, its scroll bar
// coming or going), so paths are shortened only where the list ends. A
// column the user has dragged wider than the list keeps its width (that is
// how long names are read whole) until the list outgrows it.
class ListColumnFit : public QObject {
    Q_OBJECT
public:
    // Watches `view`, which owns this object.
    explicit ListColumnFit(QTreeView& view);

    // Fits the column now, also before the list is first shown.
    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeView& m_view;
    // Kept apart from the view: while the view is being destroyed its
    // viewport still sends events, and the view is no longer a tree view.
    QWidget* m_viewport;
};

} // namespace velmora
