#include "ui/middlewindow/explorerplaceholder.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QString SectionName(int type) {
    switch (type) {
        case 1:
            return QStringLiteral("我共享给别人的文件");
        case 2:
            return QStringLiteral("别人共享给我的文件");
        case 3:
            return QStringLiteral("回收站");
        default:
            return QStringLiteral("根目录");
    }
}

}  // namespace

CExplorerPlaceholder::CExplorerPlaceholder(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(SectionName(0), this);
    label_->setAlignment(Qt::AlignCenter);
    label_->setTextFormat(Qt::PlainText);
    layout->addWidget(label_);
}

HRESULT CExplorerPlaceholder::OpenItem(int navigateType, const std::wstring&, const std::wstring&,
                                       const std::wstring& path, bool) {
    return NavigateTo(navigateType, path);
}

HRESULT CExplorerPlaceholder::NavigateTo(int navigateType, const std::wstring& path) {
    label_->setText(SectionName(navigateType) + QStringLiteral("  ") + QString::fromStdWString(path));
    return S_OK;
}

HRESULT CExplorerPlaceholder::ShowSection(int, int navigateType) {
    return NavigateTo(navigateType, L"\\");
}

HRESULT CExplorerPlaceholder::FullTextSearch(const std::wstring& keyword) {
    label_->setText(QStringLiteral("搜索：") + QString::fromStdWString(keyword));
    return S_OK;
}
