#include "skingui/skinlistmodel.h"

#include <QSize>

namespace SKINGUI {

SkinListModel::SkinListModel(QObject* parent) : QAbstractTableModel(parent) {}

SkinListModel::~SkinListModel() = default;

void SkinListModel::SyncRows(int visibleRows) {
    if (visibleRows > rows_) {
        beginInsertRows(QModelIndex(), rows_, visibleRows - 1);
        rows_ = visibleRows;
        endInsertRows();
    } else if (visibleRows < rows_) {
        beginRemoveRows(QModelIndex(), visibleRows, rows_ - 1);
        rows_ = visibleRows;
        endRemoveRows();
    }
}

void SkinListModel::SyncColumns(int columns) {
    if (columns > columns_) {
        beginInsertColumns(QModelIndex(), columns_, columns - 1);
        columns_ = columns;
        endInsertColumns();
    } else if (columns < columns_) {
        beginRemoveColumns(QModelIndex(), columns, columns_ - 1);
        columns_ = columns;
        endRemoveColumns();
    }
}

void SkinListModel::Refresh() {
    if (rows_ > 0 && columns_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
    }
}

int SkinListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SkinListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant SkinListModel::data(const QModelIndex& index, int role) const {
    if (index.isValid() && role == Qt::SizeHintRole) {
        return QSize(0, rowHeight_);
    }
    return QVariant();
}

Qt::ItemFlags SkinListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace SKINGUI
