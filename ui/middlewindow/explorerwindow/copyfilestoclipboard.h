#pragma once
// Copy-out for a later paste in a file manager: the paths go on the
// clipboard in the forms the desktops read (text/uri-list, the GNOME file
// list and the KDE cut flag), always as a copy.
#include <string>
#include <vector>

#include "platform/hresult.h"

class QMimeData;

// The clipboard data of the paths; copy false marks them as cut.
QMimeData* BuildClipboardMimeData(const std::vector<std::wstring>& paths, bool copy);
// E_INVALIDARG without a path.
HRESULT CopyFilesToClipboard(const std::vector<std::wstring>& paths, bool copy);
