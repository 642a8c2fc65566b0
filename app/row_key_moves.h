// Moving the file list's selected row one place up or down from the keyboard.
#pragma once

#include <QPointer>
#include <QTreeView>

class QKeyEvent;

namespace velmora {

class FileList;

// Alt+Up and Alt+Down on the list: the selected row trades places with the
// row above or below it, by the very rule a drag onto that row follows (two
// rows with the same path trade nothing), and stays selected and in view.
// Like a drag, it also works while the window is busy.
class RowKeyMoves {
public:
    RowKeyMoves(QTreeView& view, FileList& files);

    // A key pressed on the list; true when it was Alt+Up or Alt+Down, also
    // when no row could move, so the view does not move its cursor instead.
    bool onListKey(const QKeyEvent& key);
    // Moves the selected row by `step` places (-1 up, +1 down); false when
    // nothing moved.
    bool moveSelectedRow(int step);

private:
    QPointer<QTreeView> m_view;
    FileList& m_files;
};

} // namespace velmora
