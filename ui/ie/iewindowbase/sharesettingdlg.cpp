#include "ui/ie/iewindowbase/sharesettingdlg.h"

#include <QDesktopServices>
#include <QPointer>
#include <unistd.h>

#include "base/settings/inisettings.h"
#include "core/coreapp/coreaccess.h"
#include "ui/ie/iewindowbase/sharesettings.h"
#include "ui/themeicon.h"

namespace {

// Used when the settings name no web site.
const char kDefaultRoot[] = "https://www.orvane.example";

QString Root() {
    std::wstring root;
    IniReadString(root, L"NorleShell", L"WebServerRoot", L"");
    QString text = root.empty() ? QString::fromLatin1(kDefaultRoot) : QString::fromStdWString(root);
    while (text.endsWith('/'))
        text.chop(1);
    return text;
}

#ifdef PELLUX_WEBENGINE
// The engine refuses to run as root with its sandbox on and takes the whole
// process down with it; there the page opens in the browser instead.
bool WebEngineCanStart() {
    if (geteuid() != 0)
        return true;
    return !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX") ||
           qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--no-sandbox");
}
#endif

}  // namespace

#ifdef PELLUX_WEBENGINE

CShareSettingDlg::CShareSettingDlg(const QUrl& webServerRoot, QWidget* parent)
    : CIEWndBaseDlg(webServerRoot, parent), root_(webServerRoot) {
    setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));
}

void CShareSettingDlg::ShowShareSettings(const std::wstring& fileId, const std::wstring&,
                                         const std::wstring& userName) {
    setWindowTitle(QStringLiteral("共享设置（%1）").arg(QString::fromStdWString(userName)));
    QString root = root_.toString();
    while (root.endsWith('/'))
        root.chop(1);
    Navigate(ShareSettingsAddress(root, QString::fromStdWString(fileId)));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    showNormal();
    raise();
    activateWindow();
}

QString CShareSettingDlg::UserInfo() {
    std::wstring name, token, id;
    GetCoreAccess().GetLoginInfo(&name, &token, &id, nullptr);
    return UserInfoText(QString::fromStdWString(name), QString::fromStdWString(token),
                        QString::fromStdWString(id));
}

void ShowShareSettings(QWidget* owner, const std::wstring& fileId, const std::wstring& token,
                       const std::wstring& userName) {
    if (!WebEngineCanStart()) {
        QDesktopServices::openUrl(ShareSettingsAddress(Root(), QString::fromStdWString(fileId)));
        return;
    }
    CShareSettingDlg* dialog =
        owner ? owner->findChild<CShareSettingDlg*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!dialog)
        dialog = new CShareSettingDlg(QUrl(Root()), owner);
    dialog->ShowShareSettings(fileId, token, userName);
}

#else

void ShowShareSettings(QWidget*, const std::wstring& fileId, const std::wstring&, const std::wstring&) {
    QDesktopServices::openUrl(ShareSettingsAddress(Root(), QString::fromStdWString(fileId)));
}

#endif
