#pragma once
// Item model behind the task list: it only counts the visible rows and the
// columns, so the view's items follow the list's rows and collapsed groups.
#include <QAbstractTableModel>

namespace SKINGUI {

class SkinListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SkinListModel(QObject* parent = nullptr);
    ~SkinListModel() override;

    // Grows or shrinks the item count at its end, as an owner-data list does;
    // the view puts the selection back on the rows it was on.
    void SyncRows(int visibleRows);
    void SyncColumns(int columns);
    void SetRowHeight(int height) { rowHeight_ = height; }
    // Everything must be drawn again.
    void Refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int rows_ = 0;
    int columns_ = 0;
    int rowHeight_ = 20;
};

}  // namespace SKINGUI
