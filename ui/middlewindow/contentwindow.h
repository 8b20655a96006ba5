#pragma once
// The right side of the middle pane: the explorer on top, the task pane below,
// divided by a splitter whose click folds the task pane away and back. The
// explorer's share command opens the share-settings page.
#include <QWidget>
#include <memory>

class CExplorerWindow;
class CTasksWindow;
struct IUiMainWindow;
class ITaskCore;
class IUserValues;

namespace SKINGUI {
template <int Vertical>
class CSkinSplitterWindowT;
}

class CContentWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarWidth = 6;
    // The task pane folded away leaves this much of it.
    static constexpr int kFoldedRest = 10;

    CContentWindow(IUiMainWindow* mainWindow, IUserValues& values, std::shared_ptr<ITaskCore> core,
                   QWidget* parent = nullptr);
    ~CContentWindow() override;

    // Stores the splitter position, the explorer's and the task pane's
    // column widths, and stops the task pane's poller.
    void TearDown();
    // The click on the bar: fold the task pane, or bring it back to the stored position.
    void ToggleTaskPane();
    // Stores the position (a finished drag).
    void StorePosition();

    CExplorerWindow* Explorer() const { return explorer_; }
    CTasksWindow* Tasks() const { return tasks_; }
    SKINGUI::CSkinSplitterWindowT<0>* Splitter() const { return splitter_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    IUserValues& values_;
    SKINGUI::CSkinSplitterWindowT<0>* splitter_ = nullptr;
    CExplorerWindow* explorer_ = nullptr;
    CTasksWindow* tasks_ = nullptr;
    bool placed_ = false;
    bool tornDown_ = false;
};
