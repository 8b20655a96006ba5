#include <gtest/gtest.h>

#include <QSize>
#include <QString>

#include "skingui/skinlistmodel.h"

using namespace SKINGUI;

TEST(SkinListModelSync, AnnouncesExactlyTheRowsAndColumnsThatChangeAndRefreshesOnlyANonEmptyGrid) {
    SkinListModel model;
    QString log;
    const auto range = [&](const char* what) {
        return [&log, what](const QModelIndex&, int first, int last) {
            log += QString("%1%2-%3 ").arg(what).arg(first).arg(last);
        };
    };
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, range("+r"));
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, range("-r"));
    QObject::connect(&model, &QAbstractItemModel::columnsInserted, range("+c"));
    QObject::connect(&model, &QAbstractItemModel::columnsRemoved, range("-c"));
    QObject::connect(
        &model, &QAbstractItemModel::dataChanged, [&](const QModelIndex& a, const QModelIndex& b) {
            log += QString("d%1,%2-%3,%4 ").arg(a.row()).arg(a.column()).arg(b.row()).arg(b.column());
        });
    model.SyncRows(2);
    model.Refresh();  // no columns yet: nothing to draw
    model.SyncColumns(3);
    model.SyncRows(5);
    model.SyncRows(5);
    model.Refresh();
    model.SetRowHeight(33);
    const QModelIndex cell = model.index(4, 2);
    EXPECT_EQ(model.data(cell, Qt::SizeHintRole).toSize(), QSize(0, 33));
    EXPECT_FALSE(model.data(cell, Qt::DisplayRole).isValid());
    EXPECT_FALSE(model.data(QModelIndex(), Qt::SizeHintRole).isValid());
    EXPECT_EQ(model.rowCount(cell), 0);
    EXPECT_EQ(model.columnCount(cell), 0);
    model.SyncRows(1);
    model.SyncColumns(1);
    model.SyncColumns(1);
    model.SyncRows(0);
    model.Refresh();  // no rows left
    EXPECT_EQ(log, "+r0-1 +c0-2 +r2-4 d0,0-4,2 -r1-4 -c1-2 -r0-0 ");
    EXPECT_EQ(model.columnCount(), 1);
}
