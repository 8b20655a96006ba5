#include "ui/ie/iewindowbase/iewndbasedlg.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include "base/log/tracestack.h"
#include "base/utility/formatstring.h"
#include "ui/ie/iewindowbase/sharesettings.h"

namespace {

const char kShimName[] = "pellux-external";
const QString kCaption = QStringLiteral("Orvane便携版");

// The page's alerts and confirmations as the program's own message boxes.
class CHostPage : public QWebEnginePage {
public:
    CHostPage(QWidget* owner, QObject* parent) : QWebEnginePage(parent), owner_(owner) {}

protected:
    void javaScriptAlert(const QUrl&, const QString& msg) override {
        QMessageBox::information(owner_, kCaption, msg);
    }
    bool javaScriptConfirm(const QUrl&, const QString& msg) override {
        return QMessageBox::question(owner_, kCaption, msg) == QMessageBox::Yes;
    }

private:
    QWidget* owner_;
};

QString ChannelLibrary() {
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The external object: GetUserInfo answers from the baked text at once (the
// page calls it while it is still being parsed), CloseWizard goes over the
// channel. Names are matched without regard to case.
QString ShimSource(const QString& origin, const QString& userInfo) {
    return ChannelLibrary() + QStringLiteral(R"JS(
(function () {
  if (location.origin !== %1) return;
  var info = %2;
  var host = null, closeWanted = false;
  function connect() {
    if (host || typeof QWebChannel === 'undefined' || !window.qt || !qt.webChannelTransport) return !!host;
    new QWebChannel(qt.webChannelTransport, function (channel) {
      host = channel.objects.host;
      if (closeWanted) host.CloseWizard();
    });
    return true;
  }
  var methods = {
    getuserinfo: function () { return info; },
    closewizard: function () { if (host) host.CloseWizard(); else { closeWanted = true; connect(); } }
  };
  var external = new Proxy({}, {
    get: function (target, name) { return typeof name === 'string' ? methods[name.toLowerCase()] : undefined; }
  });
  Object.defineProperty(window, 'external', {value: external, configurable: true});
  if (!connect()) document.addEventListener('DOMContentLoaded', connect);
})();
)JS")
                                  .arg(ScriptStringLiteral(origin), ScriptStringLiteral(userInfo));
}

QString OriginOf(const QUrl& url) {
    QString origin = url.scheme() + QStringLiteral("://") + url.host();
    if (url.port() != -1)
        origin += QLatin1Char(':') + QString::number(url.port());
    return origin;
}

}  // namespace

CIEWndBaseDlg::CIEWndBaseDlg(const QUrl& webServerRoot, QWidget* parent)
    : QDialog(parent), root_(webServerRoot) {
    setWindowTitle(QStringLiteral("Dialog"));
    resize(640, 480);
    view_ = new QWebEngineView(this);
    auto* page = new CHostPage(this, view_);
    view_->setPage(page);
    host_ = new CExternalHost(this);
    channel_ = new QWebChannel(this);
    channel_->registerObject(QStringLiteral("host"), host_);
    page->setWebChannel(channel_);
    connect(host_, &CExternalHost::closeRequested, this, &CIEWndBaseDlg::reject);
    loading_ = new QLabel(QStringLiteral("正在加载中，请稍候..."), this);
    loading_->setAlignment(Qt::AlignCenter);
    connect(view_, &QWebEngineView::loadStarted, this, &CIEWndBaseDlg::OnLoadingStarted);
    connect(view_, &QWebEngineView::loadFinished, this, &CIEWndBaseDlg::OnPageReady);
    view_->hide();
}

CIEWndBaseDlg::~CIEWndBaseDlg() = default;

void CIEWndBaseDlg::InstallShim(const QUrl& url) {
    QWebEngineScriptCollection& scripts = view_->page()->scripts();
    for (const QWebEngineScript& old : scripts.find(QString::fromLatin1(kShimName)))
        scripts.remove(old);
    // Only the web root's own pages learn who is logged in.
    if (OriginOf(url) != OriginOf(root_))
        return;
    QWebEngineScript script;
    script.setName(QString::fromLatin1(kShimName));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(ShimSource(OriginOf(root_), UserInfo()));
    scripts.insert(script);
}

void CIEWndBaseDlg::Navigate(const QUrl& url) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CIEWndBaseDlg::Navigate", &hr, L"szURL = %s", url.toString().toStdWString());
    navigated_ = false;
    InstallShim(url);
    view_->hide();
    loading_->show();
    view_->load(url);
}

void CIEWndBaseDlg::OnLoadingStarted() {
    loading_->show();
}

void CIEWndBaseDlg::OnPageReady(bool ok) {
    navigated_ = true;
    loading_->hide();
    view_->show();
    update();
    emit pageReady(ok);
}

void CIEWndBaseDlg::reject() {
    view_->hide();
    hide();
    if (QWidget* owner = parentWidget()) {
        if (QWidget* ownerParent = owner->parentWidget())
            ownerParent->setFocus();
        else
            owner->setFocus();
    }
}

void CIEWndBaseDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    view_->setGeometry(rect());
    loading_->setGeometry(rect());
}
