#pragma once
// A hyperlink label: text with an address, hand cursor over the text, opens the
// address when clicked or activated with the keyboard; drawn over the parent.
#include <QString>
#include <QUrl>
#include <functional>

#include "skingui/colorref.h"
#include "skingui/skinwindow.h"

namespace SKINGUI {

class CSkinHyperLink : public CSkinWindow {
    Q_OBJECT
public:
    // Opens an address; returns false when it could not.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit CSkinHyperLink(QWidget* parent = nullptr, const QString& label = QString(),
                            const QString& hyperlink = QString());
    ~CSkinHyperLink() override;

    void SetLabel(const QString& label);
    const QString& Label() const { return label_; }
    // Without an address the label is opened.
    void SetHyperLink(const QString& hyperlink);
    const QString& HyperLink() const { return hyperlink_; }
    // Tooltip shown over the link (the address when empty).
    void SetToolTipText(const QString& text);
    // Replaces the desktop's URL handler (tests, or callers that open in-app).
    void SetOpener(UrlOpener opener);
    bool IsVisited() const { return visited_; }

    // Opens the address; marks the link visited when it was opened.
    bool Navigate();
    // Where the label is drawn (the clickable part).
    QRect LinkRect() const;

    static constexpr ColorRef kLinkColor = 0xFF0000;     // blue
    static constexpr ColorRef kVisitedColor = 0x800080;  // purple

signals:
    // The link was activated (before the address is opened).
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHover(bool hover);
    int TextFlags() const;

    QString label_;
    QString hyperlink_;
    QString toolTip_;
    UrlOpener opener_;
    // True once the address was opened.
    bool visited_ = false;
    // True while the pointer is over the label.
    bool hover_ = false;
    // True between a press on the label and its release.
    bool pressed_ = false;
};

}  // namespace SKINGUI
