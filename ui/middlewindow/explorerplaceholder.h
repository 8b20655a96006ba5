#pragma once
// Stands in the content pane until the explorer window is built in: the same
// calls, a plain page that says which section or folder was asked for.
#include <QWidget>
#include <string>

#include "platform/hresult.h"

class QLabel;

class CExplorerPlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit CExplorerPlaceholder(QWidget* parent = nullptr);

    HRESULT OpenItem(int navigateType, const std::wstring& id, const std::wstring& parentId,
                     const std::wstring& path, bool isFolder);
    HRESULT NavigateTo(int navigateType, const std::wstring& path);
    HRESULT ShowSection(int unused, int navigateType);
    HRESULT FullTextSearch(const std::wstring& keyword);
    void SaveColumnWidths() {}

private:
    QLabel* label_ = nullptr;
};
