#pragma once
// One drag out of the explorer list: the rows as the program's own record
// text (for its own drop targets) and, when the rows may be downloaded, the
// marker file as a file URL (for the desktop, which copies it into the
// folder where the user lets go). Only copying is offered, so no target ever
// deletes anything at the source. A drag that ends without a drop takes its
// marker with it.
#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <Qt>
#include <string>
#include <vector>

#include "platform/hresult.h"

class QMimeData;
class QWidget;

// The drag's data: the record text (UTF-8, no terminating zero) under the
// program's own type and the paths as text/uri-list; either may be empty.
QMimeData* BuildDragMimeData(const std::wstring& recordText, const std::vector<std::wstring>& paths);
// text/uri-list bytes: each path as a file URL followed by CR LF.
QByteArray UriListOf(const std::vector<std::wstring>& paths);

class CDropDataSource {
public:
    void SetText(const std::wstring& text);
    // The marker file (name) and the paths offered to the desktop.
    void SetFiles(const std::wstring& name, const std::vector<std::wstring>& paths);
    void SetPixmap(const QPixmap& pixmap);
    bool HasData() const { return !text_.empty() || !files_.empty(); }
    // A fresh copy of what the drag carries.
    QMimeData* MimeData() const;

    // Runs the drag from the widget (modal until it ends); effect gets the
    // target's answer. E_FAIL when nothing was stored. When nothing was
    // dropped the marker is deleted and no longer expected.
    HRESULT DoDragDrop(QWidget* source, Qt::DropActions allowed, Qt::DropAction* effect);

private:
    std::wstring text_;
    std::wstring name_;
    std::vector<std::wstring> files_;
    QPixmap pixmap_;
};
