#include "base/utility/fileutil.h"

#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "platform/xdgfolders.h"

HRESULT CreateFolderTree(const std::wstring& path) {
    return MakeDirectories(WideToUtf8(path)) ? S_OK : E_FAIL;
}

HRESULT GetFileSize64(const std::wstring& path, uint64_t& size) {
    FileAttributeData data;
    if (!GetFileAttributeData(WideToUtf8(path), &data))
        return E_FAIL;
    size = data.size;
    return S_OK;
}
