#pragma once
// The middle of the main window: the navigation pane on the left and the
// content pane (explorer over task pane) on the right, divided by a splitter.
// The main window's other panes reach the explorer through IMiddleWindow.
#include <QWidget>
#include <memory>

#include "ui/mainwindowpanes.h"

class CContentWindow;
class CNavigateWindow;
class ITaskCore;
class IUserValues;

namespace SKINGUI {
template <int Vertical>
class CSkinSplitterWindowT;
}

class CMiddleWindow : public QWidget, public IMiddleWindow {
    Q_OBJECT
public:
    static constexpr int kBarWidth = 6;
    static constexpr int kDefaultNavigateWidth = 209;

    CMiddleWindow(IUiMainWindow* mainWindow, IUserValues& values, std::shared_ptr<ITaskCore> core,
                  QWidget* parent = nullptr);
    ~CMiddleWindow() override;

    HRESULT OpenItem(int navigateType, const std::wstring& id, const std::wstring& parentId,
                     const std::wstring& path, bool isFolder) override;
    HRESULT NavigateTo(int navigateType, const std::wstring& path) override;
    HRESULT ShowSection(int unused, int navigateType) override;
    HRESULT FullTextSearch(const std::wstring& keyword) override;

    // Stores "_MidSplitPos", then tears the content pane down.
    void TearDown();

    CNavigateWindow* Navigate() const { return navigate_; }
    CContentWindow* Content() const { return content_; }
    SKINGUI::CSkinSplitterWindowT<1>* Splitter() const { return splitter_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    IUserValues& values_;
    SKINGUI::CSkinSplitterWindowT<1>* splitter_ = nullptr;
    CNavigateWindow* navigate_ = nullptr;
    CContentWindow* content_ = nullptr;
    bool placed_ = false;
    bool tornDown_ = false;
};
