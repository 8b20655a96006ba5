#pragma once
// The list of places on the left of the main window: one group at a time, a
// header band with the group's icon and caption, and below it a scrolled column
// of items. A click on an item selects it and tells the owner.
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "skingui/outbarlayout.h"
#include "skingui/skinimagelist.h"

class QToolButton;

namespace SKINGUI {

class CSimpleOutBar : public QWidget {
    Q_OBJECT
public:
    struct Item {
        int image = -1;  // cell of the item image list; -1 = none
        QString caption;
    };
    struct Group {
        QString caption;
        int image = -1;  // cell of the group image list; -1 = none
        std::vector<Item> items;
    };

    explicit CSimpleOutBar(QWidget* parent = nullptr);
    ~CSimpleOutBar() override;

    // Appends a group; returns its index.
    int AddGroup(const QString& caption, int image);
    // Appends an item to a group; returns its index, -1 for an unknown group.
    int AddItem(int group, int image, const QString& caption);
    void RemoveAllGroups();
    int GroupCount() const { return int(groups_.size()); }
    const Group* GetGroup(int group) const;
    void SetCurrentGroup(int group);
    int CurrentGroup() const { return current_; }

    void SetItemImageList(std::shared_ptr<SkinImageList> list);
    void SetGroupImageList(std::shared_ptr<SkinImageList> list);
    void SetHeaderBitmap(const QPixmap& bitmap);
    void SetSeparatorBitmap(const QPixmap& bitmap);
    // Total height of the items; the owner keeps it as it adds items.
    void SetContentHeight(int height);
    int ContentHeight() const { return layout_.ContentHeight(); }

    // Scrolls by d pixels (positive moves the items up); never past the first item.
    void Scroll(int d);
    int ScrollOffset() const { return layout_.Offset(); }

    int SelectedItem() const { return selected_; }
    void SetSelectedItem(int item);
    int HoveredItem() const { return hovered_; }
    int PressedItem() const { return pressed_; }
    // Laid-out rectangle of an item of the current group; empty when it is not shown.
    QRect ItemRect(int item) const { return layout_.ItemRect(item); }
    // Item under the point; -1 outside every shown item.
    int HitTest(QPoint point) const { return layout_.HitTest(point); }

    QToolButton* ScrollUpButton() const { return up_; }
    QToolButton* ScrollDownButton() const { return down_; }

signals:
    // The mouse was released over an item, which is now the selected one.
    void itemClicked(int item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int ItemCount() const;
    void Relayout();
    void UpdateScrollButtons();
    void UpdateItem(int item);

    std::vector<Group> groups_;
    int current_ = 0;
    std::shared_ptr<SkinImageList> itemImages_;
    std::shared_ptr<SkinImageList> groupImages_;
    QPixmap header_;
    QPixmap separator_;
    OutBarLayout layout_;
    int selected_ = -1;  // item last clicked; -1 none
    int pressed_ = -1;   // item the mouse went down on; -1 none
    int hovered_ = -1;   // item under the pointer; -1 none
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};

}  // namespace SKINGUI
