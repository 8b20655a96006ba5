#include "ui/mainwindow/aboutdlg.h"

#include <QPainter>
#include <QPushButton>

#include "skingui/colorref.h"
#include "skingui/skinhyperlink.h"
#include "skingui/skinresources.h"
#include "skingui/skinstatic.h"
#include "ui/mainwindow/webpages.h"
#include "ui/themeicon.h"

using namespace SKINGUI;

namespace {

constexpr ColorRef kFace = 0xFEFBF7;
constexpr int kTextLeft = 270;

}  // namespace

CAboutDlg::CAboutDlg(const QString& token, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于Orvane便携版"));
    setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));
    setFixedSize(kWidth, kHeight);
    const int width = kWidth - kTextLeft - 20;
    struct Line {
        QString text;
        int y;
        int height;
    };
    const Line lines[] = {
        {QStringLiteral("<font bold='1' size='11'>Orvane便携版</font>"), 40, 24},
        {QStringLiteral("Orvane便携版，随时随地，快速访问您的文档"), 80, 40},
        {QStringLiteral("版本号：Beta"), 130, 18},
        {ProgramVersionText(), 152, 18},
        {QStringLiteral("© 2026 Orvane. 保留所有权利。"), 300, 36},
    };
    for (const Line& line : lines) {
        auto* label = new CSkinStatic(this);
        label->setGeometry(kTextLeft, line.y, width, line.height);
        label->SetText(line.text);
    }
    const QString root = WebServerRoot();
    const std::pair<QString, QUrl> links[] = {
        {QStringLiteral("立即访问官方首页"), HomePage(root)},
        {QStringLiteral("访问官方博客"), BlogPage(root)},
        {QStringLiteral("反馈问题"), FeedbackPage(root, token, ProgramVersionText())},
    };
    for (int i = 0; i < 3; ++i) {
        links_[i] = new CSkinHyperLink(this, links[i].first, links[i].second.toString());
        links_[i]->setGeometry(kTextLeft, 200 + i * 26, width, 20);
    }
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    ok->setGeometry(kWidth - 100, kBandTop + 8, 84, 26);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::CtlColorStatic(QWidget* control, ColorRef* background) {
    *background = control->y() >= kBandTop ? ColorRef(0xF5E1CF) : kFace;
    return true;
}

void CAboutDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace.ToQColor());
    const QPixmap banner = LoadSkinImage(QStringLiteral("RCDATA"), 288);
    if (!banner.isNull())
        painter.drawPixmap(QRect(0, 0, 250, kBandTop), banner);
    QLinearGradient band(0, kBandTop, 0, height());
    band.setColorAt(0, ColorRef(0xFFF5EB).ToQColor());
    band.setColorAt(1, ColorRef(0xF5E1CF).ToQColor());
    painter.fillRect(QRect(0, kBandTop, width(), height() - kBandTop), band);
    painter.setPen(ColorRef(0xE3D6C8).ToQColor());
    painter.drawLine(0, kBandTop, width(), kBandTop);
}
