#pragma once
// The left pane of the middle pane: the sections of the remote space, the
// add-favourite entry and the user's favourites in a navigation bar. Choosing
// an entry opens it in the explorer; favourites come from the folder picker
// or from rows dragged out of the explorer, and are kept as "NavigateData".
#include <QWidget>
#include <functional>

#include "ui/middlewindow/navigatemodel.h"

class IUiMainWindow;
class IUserValues;
class QMenu;

namespace SKINGUI {
class CSimpleOutBar;
}

class CNavigateWindow : public QWidget {
    Q_OBJECT
public:
    enum Command { kCmdDelete = 32807, kCmdMoveUp = 32808, kCmdMoveDown = 32809 };

    // The chosen item of the folder picker for a new favourite.
    struct PickedItem {
        bool isFolder = false;
        int type = 0;
        std::wstring name, id, parentId, path;
    };
    // Runs the folder picker modally; false when the user cancelled.
    using FavoritePicker = std::function<bool(QWidget* owner, PickedItem* picked)>;

    CNavigateWindow(IUiMainWindow* mainWindow, IUserValues& values, QWidget* parent = nullptr);
    ~CNavigateWindow() override;

    // Until the explorer brings its folder picker, the add entry only shows its tip.
    void SetFavoritePicker(FavoritePicker picker) { picker_ = std::move(picker); }

    // Opens an entry as a click on it does.
    void SelectEntry(int index);
    // The context-menu commands on an entry; false when greyed.
    bool RunCommand(int command, int index);
    // The menu as it would open over an entry (-1 none), commands enabled per the rules.
    QMenu* BuildMenu(int index);
    // A drop of the explorer's drag text; false when the data is anything else.
    bool DropData(const class QMimeData* data);

    const CNavigateModel& Model() const { return model_; }
    SKINGUI::CSimpleOutBar* Bar() const { return bar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rebuild(int select);
    void Save();

    IUiMainWindow* mainWindow_;
    IUserValues& values_;
    CNavigateModel model_;
    SKINGUI::CSimpleOutBar* bar_ = nullptr;
    QMenu* menu_ = nullptr;
    FavoritePicker picker_;
};
