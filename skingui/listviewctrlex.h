#pragma once
// The explorer's file list: an ordinary report list whose header is drawn with
// gradients and markup captions and whose window may get a thin coloured border.
// The explorer supplies the model; the list supplies the look.
#include <QTreeView>

#include "skingui/colorref.h"

namespace SKINGUI {

class CHeaderCtrlEx;

class CListViewCtrlEx : public QTreeView {
    Q_OBJECT
public:
    enum SkinStyle : uint32_t {
        kSkinHeader = 4,              // the header takes the list's colours
        kFixedColumns = 8,            // the user cannot resize columns
        kBorder = 0x2000,             // 1-pixel border in the border colour
        kTransparentHeader = 0x4000,  // header captions without their own background
    };

    explicit CListViewCtrlEx(QWidget* parent = nullptr);
    ~CListViewCtrlEx() override;

    void SetSkinStyle(uint32_t flags);
    uint32_t SkinStyle() const { return style_; }
    // Header height; false (nothing stored) while the header is not dressed.
    bool SetHeaderHeight(int height);
    // Middle colour of the header's gradients; false while the header is not dressed.
    bool SetSkinBkColor(ColorRef color);
    void SetBorderColor(ColorRef color);
    ColorRef BorderColor() const { return borderColor_; }
    void SetBkColor(ColorRef color);
    ColorRef BkColor() const { return bkColor_; }
    // Sets a column's caption markup and width (-1 keeps it).
    int SetColumn(int index, const QString& caption, int width, int startX, uint32_t alignment);
    CHeaderCtrlEx* SkinHeader() const { return header_; }

private:
    void ApplyBorder();

    CHeaderCtrlEx* header_ = nullptr;
    bool headerDressed_ = false;  // SetSkinStyle with kSkinHeader has dressed the header
    ColorRef borderColor_ = 0xE1D0BD;
    ColorRef bkColor_ = 0xFFFFFF;
    uint32_t style_ = 0;
};

}  // namespace SKINGUI
