#pragma once
// The plain interfaces through which the main window and its panes reach each
// other: the main window as a whole, the top pane (account and space), the
// middle pane (navigation and content, forwarding to the explorer) and the
// bottom pane (status).
#include <cstdint>
#include <string>

#include "core/coreapp/imainwindow.h"

// The section of the remote space the explorer shows.
enum NavigateType {
    kNavigateMyFiles = 0,
    kNavigateShareToOther = 1,
    kNavigateShareToMe = 2,
    kNavigateRecycle = 3,
};

struct ITopWindow {
    virtual void SetSpaceInfo(uint64_t used, uint64_t total) = 0;

protected:
    ~ITopWindow() = default;
};

// Each operation goes to the explorer window.
struct IMiddleWindow {
    virtual HRESULT OpenItem(int navigateType, const std::wstring& id, const std::wstring& parentId,
                             const std::wstring& path, bool isFolder) = 0;
    virtual HRESULT NavigateTo(int navigateType, const std::wstring& path) = 0;
    virtual HRESULT ShowSection(int unused, int navigateType) = 0;
    virtual HRESULT FullTextSearch(const std::wstring& keyword) = 0;

protected:
    ~IMiddleWindow() = default;
};

struct IBottomWindow {
protected:
    ~IBottomWindow() = default;
};

constexpr int kPaneMainWindow = 0;
constexpr int kPaneTop = 1;
constexpr int kPaneMiddle = 2;
constexpr int kPaneBottom = 3;

// The main window as its panes see it: the bridge's sink plus pane lookup,
// the restart request and the status line.
struct IUiMainWindow : IMainWindow {
    // 0 the main window, 1 ITopWindow, 2 IMiddleWindow, 3 IBottomWindow; any
    // other index leaves out untouched.
    virtual HRESULT GetPane(int index, void** out) = 0;
    // Ends the pass with the restart code (log out, switch user).
    virtual HRESULT RequestRestart() = 0;
    // Markup text for the bottom pane.
    virtual HRESULT SetStatusText(const std::wstring& text) = 0;

protected:
    ~IUiMainWindow() = default;
};
