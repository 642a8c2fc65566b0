#include "filelist/file_list.h"

namespace velmora {

QString FileList::text(int row) const {
    return row >= 1 && row <= count() ? m_rows.at(row - 1) : QString();
}

void FileList::append(const QString& path) {
    append(QStringList{path});
}

void FileList::append(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(paths.size()) - 1);
    m_rows.append(paths);
    endInsertRows();
}

void FileList::removeRow(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    beginRemoveRows({}, index, index);
    m_rows.removeAt(index);
    endRemoveRows();
}

void FileList::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void FileList::exchange(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= count() || b >= count()) {
        return;
    }
    m_rows.swapItemsAt(a, b);
    emit dataChanged(index(std::min(a, b)), index(std::max(a, b)));
}

int FileList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant FileList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    // The tooltip shows the whole path of a row the view has to shorten.
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        return m_rows.at(index.row());
    }
    return {};
}

QVariant FileList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QStringLiteral("PS File(s)");
    }
    return {};
}

} // namespace velmora
