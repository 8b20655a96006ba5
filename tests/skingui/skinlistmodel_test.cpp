#include <gtest/gtest.h>

#include <QSize>

#include "skingui/skinlistmodel.h"

using namespace SKINGUI;

TEST(SkinListModelSync, AnnouncesExactlyTheRowsAndColumnsThatChangeAndRefreshesOnlyANonEmptyGrid) {
    SkinListModel model;
    QString log;
    for (auto [signal, what] : {std::pair(&QAbstractItemModel::rowsInserted, "+r"),
                                {&QAbstractItemModel::rowsRemoved, "-r"},
                                {&QAbstractItemModel::columnsInserted, "+c"},
                                {&QAbstractItemModel::columnsRemoved, "-c"}}) {
        QObject::connect(&model, signal, [&log, what = what](const QModelIndex&, int first, int last) {
            log += QString("%1%2-%3 ").arg(what).arg(first).arg(last);
        });
    }
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
    EXPECT_EQ(model.data(model.index(4, 2), Qt::SizeHintRole).toSize(), QSize(0, 20));
    EXPECT_FALSE(model.data(QModelIndex(), Qt::SizeHintRole).isValid());
    for (int rows : {1, 0})
        model.SyncRows(rows), model.SyncColumns(1);
    model.Refresh();  // no rows left
    EXPECT_EQ(log, "+r0-1 +c0-2 +r2-4 d0,0-4,2 -r1-4 -c1-2 -r0-0 ");
}
