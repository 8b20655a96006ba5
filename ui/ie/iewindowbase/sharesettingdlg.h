#pragma once
// Sharing an item with other accounts happens on the service's share page.
// ShowShareSettings is what the explorer's share command calls: with the web
// engine built in, the page opens in the program's share dialog (one per
// owner window, hidden and reused); without it, in the user's browser.
#include <QWidget>
#include <string>

void ShowShareSettings(QWidget* owner, const std::wstring& fileId, const std::wstring& token,
                       const std::wstring& userName);

#ifdef PELLUX_WEBENGINE
#include "ui/ie/iewindowbase/iewndbasedlg.h"

class CShareSettingDlg : public CIEWndBaseDlg {
    Q_OBJECT
public:
    explicit CShareSettingDlg(const QUrl& webServerRoot, QWidget* parent = nullptr);
    // Title with the user name, the item's page, in front of everything.
    void ShowShareSettings(const std::wstring& fileId, const std::wstring& token,
                           const std::wstring& userName);

protected:
    QString UserInfo() override;

private:
    QUrl root_;
};
#endif
