#pragma once
// A dialog that hosts a web page of the service: a loading text until the
// page is ready, an external object (window.external) for the page's script
// on the web root's origin only, and message boxes for the page's alerts.
#include <QDialog>
#include <QUrl>

class QLabel;
class QWebChannel;
class QWebEngineView;

// The external object's methods as the page reaches them over the channel.
class CExternalHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
public slots:
    void CloseWizard() { emit closeRequested(); }
signals:
    void closeRequested();
};

class CIEWndBaseDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdBrowser = 1016;
    static constexpr int kIdLoading = 1017;

    // Pages on the root's origin get the external object.
    CIEWndBaseDlg(const QUrl& webServerRoot, QWidget* parent = nullptr);
    ~CIEWndBaseDlg() override;

    // Shows the loading text and loads the address; the external object
    // carries the user text taken now.
    void Navigate(const QUrl& url);
    bool Navigated() const { return navigated_; }

    QWebEngineView* View() const { return view_; }
    QLabel* LoadingLabel() const { return loading_; }

public slots:
    // The close box and the page's CloseWizard: hide, to be reused.
    void reject() override;

signals:
    // The page finished loading (ok false when it failed).
    void pageReady(bool ok);

protected:
    // The text GetUserInfo answers with.
    virtual QString UserInfo() = 0;
    virtual void OnPageReady(bool ok);
    virtual void OnLoadingStarted();
    void resizeEvent(QResizeEvent* event) override;

private:
    void InstallShim(const QUrl& url);

    QUrl root_;
    QWebEngineView* view_ = nullptr;
    QLabel* loading_ = nullptr;
    QWebChannel* channel_ = nullptr;
    CExternalHost* host_ = nullptr;
    bool navigated_ = false;
};
