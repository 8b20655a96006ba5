#pragma once
// The main window as its panes reach it: the status line, the top pane's
// space figures, the middle pane's openings and the questions asked, each
// answered with `answer`.
#include <string>
#include <vector>

#include "core/coreapp/ishelladapter.h"
#include "ui/mainwindowpanes.h"

namespace ui_test {

class RecordingMainWindow final : public IUiMainWindow, public ITopWindow, public IMiddleWindow {
public:
    HRESULT ShowMessage(const std::wstring&, const std::wstring&) override { return S_OK; }
    int AskUser(const std::wstring& key, const std::wstring&, const std::wstring&, const std::wstring&, int,
                const std::wstring&, int) override {
        asked.push_back(key);
        return answer;
    }
    HRESULT ShowBalloon(const std::wstring&, const std::wstring&, uint32_t, uint32_t) override {
        return S_OK;
    }
    HRESULT GetPane(int index, void** out) override {
        if (index == kPaneTop)
            *out = static_cast<ITopWindow*>(this);
        else if (index == kPaneMiddle)
            *out = static_cast<IMiddleWindow*>(this);
        return index == kPaneTop || index == kPaneMiddle ? S_OK : E_INVALIDARG;
    }
    HRESULT RequestRestart() override { return S_OK; }
    HRESULT SetStatusText(const std::wstring& text) override {
        status = text;
        return S_OK;
    }
    void SetSpaceInfo(uint64_t, uint64_t t) override { total = t; }
    HRESULT OpenItem(int type, const std::wstring& id, const std::wstring& parentId, const std::wstring& path,
                     bool isFolder) override {
        opened.push_back(std::to_wstring(type) + L"," + id + L"," + parentId + L"," + path + L"," +
                         (isFolder ? L"1" : L"0"));
        return S_OK;
    }
    HRESULT NavigateTo(int, const std::wstring&) override { return S_OK; }
    HRESULT ShowSection(int, int) override { return S_OK; }
    HRESULT FullTextSearch(const std::wstring&) override { return S_OK; }

    int answer = kAskCancel;
    std::wstring status;
    uint64_t total = 0;
    std::vector<std::wstring> asked, opened;
};

}  // namespace ui_test
