#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace velmora {

// The file list's rows: one full source path per row, nothing else. The
// window shows it in a one-column view; a conversion takes a copy of the
// rows when it starts. Rows are appended in batches so very large adds stay fast.
class FileList : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int count() const { return static_cast<int>(m_rows.size()); }
    QString text(int row) const; // 1-based

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
