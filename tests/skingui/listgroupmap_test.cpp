#include "skingui/listgroupmap.h"

#include <gtest/gtest.h>

using SKINGUI::ListGroupMap;

TEST(ListGroupMap, CollapsedGroupOfThreeInTenRowsLeavesSevenAndSkipsItsChildren) {
    std::vector<ListGroupMap::Row> rows(10);
    rows[2] = {1, false};  // group with rows 3, 4, 5 under it
    rows[6] = {1, true};   // the next group ends it
    ListGroupMap map;
    map.Rebuild(rows);
    EXPECT_EQ(map.VisibleCount(), 7);
    EXPECT_EQ(map.ChildCount(2), 3);
    EXPECT_EQ(map.VisibleToRow(2), 2);
    EXPECT_EQ(map.VisibleToRow(3), 6);  // visible item 3 is the row after the children
    EXPECT_EQ(map.VisibleToRow(4), 7);
    EXPECT_EQ(map.VisibleToRow(6), 9);
    EXPECT_EQ(map.VisibleToRow(7), -1);
    EXPECT_EQ(map.RowToVisible(4), -1);
    EXPECT_EQ(map.RowToVisible(7), 4);
    for (int v = 0; v < map.VisibleCount(); ++v) {
        EXPECT_EQ(map.RowToVisible(map.VisibleToRow(v)), v);
    }
    // Indices out of range map to nothing.
    EXPECT_EQ(map.VisibleToRow(-1), -1);
    EXPECT_EQ(map.RowToVisible(10), -1);
    EXPECT_EQ(map.ChildCount(12), 0);
    EXPECT_EQ(map.GroupOf(-2), -1);
    map.Rebuild({});
    EXPECT_EQ(map.VisibleCount(), 0);
}

TEST(ListGroupMap, GroupEndsAtTheFirstRowOfItsOwnLevel) {
    // Three groups of two rows each: only the middle one collapsed.
    std::vector<ListGroupMap::Row> rows = {{1, true}, {0, true}, {0, true}, {1, false},
                                           {0, true}, {0, true}, {1, true}, {0, true}};
    ListGroupMap map;
    map.Rebuild(rows);
    EXPECT_EQ(map.VisibleCount(), 6);
    EXPECT_EQ(map.VisibleToRow(3), 3);
    EXPECT_EQ(map.VisibleToRow(4), 6);
    EXPECT_EQ(map.GroupOf(5), 3);
    EXPECT_EQ(map.GroupOf(7), 6);
    EXPECT_EQ(map.GroupOf(0), -1);
    EXPECT_EQ(map.ChildCount(3), 2);
    EXPECT_EQ(map.ChildCount(1), 0);
}

TEST(ListGroupMap, NestedLevelsHideOnlyWhatTheCollapsedGroupHolds) {
    // Level 2 group holding two level 1 groups; the first subgroup is collapsed.
    std::vector<ListGroupMap::Row> rows = {
        {2, true},   // 0
        {1, false},  // 1 collapsed subgroup
        {0, true},   // 2 hidden
        {0, true},   // 3 hidden
        {1, true},   // 4 subgroup
        {0, true},   // 5
        {2, true},   // 6 next top group
        {0, true},   // 7
    };
    ListGroupMap map;
    map.Rebuild(rows);
    EXPECT_EQ(map.VisibleCount(), 6);
    EXPECT_EQ(map.VisibleToRow(2), 4);
    EXPECT_EQ(map.RowToVisible(5), 3);
    EXPECT_EQ(map.GroupOf(5), 4);
    EXPECT_EQ(map.GroupOf(4), 0);
    EXPECT_EQ(map.ChildCount(0), 5);

    // Collapsing the outer group hides its expanded subgroup as well.
    rows[0].expanded = false;
    map.Rebuild(rows);
    EXPECT_EQ(map.VisibleCount(), 3);
    EXPECT_EQ(map.VisibleToRow(1), 6);
    EXPECT_EQ(map.VisibleToRow(2), 7);
    EXPECT_EQ(map.RowToVisible(4), -1);
    EXPECT_EQ(map.RowToVisible(6), 1);

    // Expanding it again keeps the inner group collapsed.
    rows[0].expanded = true;
    map.Rebuild(rows);
    EXPECT_EQ(map.VisibleCount(), 6);
}
