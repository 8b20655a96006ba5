#pragma once
// The about box: the program's name and version, and links to the home
// page, the blog and the feedback page.
#include <QDialog>

#include "skingui/skinctlcolor.h"

namespace SKINGUI {
class CSkinHyperLink;
}

class CAboutDlg : public QDialog, public SKINGUI::ISkinCtlColor {
    Q_OBJECT
public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 470;
    static constexpr int kBandTop = 429;

    // The feedback link carries the session token.
    CAboutDlg(const QString& token, QWidget* parent = nullptr);
    ~CAboutDlg() override;

    SKINGUI::CSkinHyperLink* Link(int index) const { return links_[index]; }
    bool CtlColorStatic(QWidget* control, SKINGUI::ColorRef* background) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SKINGUI::CSkinHyperLink* links_[3] = {};
};
