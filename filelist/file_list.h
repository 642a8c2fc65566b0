#pragma once

#include "convert/source_list.h"

#include <QAbstractListModel>
#include <QStringList>

namespace velmora {

// The file list's rows: one full source path per row, nothing else. The
// window shows it in a one-column view; the conversion run reads it by
// position. Rows are appended in batches so very large adds stay fast.
class FileList : public QAbstractListModel, public SourceList {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // SourceList
    int count() const override { return static_cast<int>(m_rows.size()); }
    QString text(int row) const override; // 1-based

    const QStringList& rows() const { return m_rows; }

    void append(const QString& path);
    void append(const QStringList& paths);
    void removeRow(int index); // 0-based
    void clear();
    // Swaps two rows (0-based).
    void exchange(int a, int b);

    // QAbstractListModel
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_rows;
};

} // namespace velmora
