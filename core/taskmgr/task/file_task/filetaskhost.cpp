#include "core/taskmgr/task/file_task/filetaskhost.h"

#include "core/coreapp/coreaccess.h"

namespace {

class CCoreAccessTaskHost : public IFileTaskHost {
public:
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText,
                int rememberValue) override {
        return GetCoreAccess().AskUser(rememberKey, text, caption, buttons, flag, checkText, rememberValue);
    }
    HRESULT Delete(bool isFolder, const std::wstring& fileId, const std::wstring& itemPath) override {
        return GetCoreAccess().Delete(isFolder, fileId, itemPath);
    }
    HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                   const std::wstring& remotePath, const std::wstring& localPath) override {
        return GetCoreAccess().Upload(fileId, parentId, fileVersion, remotePath, localPath);
    }
};

}  // namespace

std::shared_ptr<IFileTaskHost> CoreAccessTaskHost() {
    static const std::shared_ptr<IFileTaskHost> host = std::make_shared<CCoreAccessTaskHost>();
    return host;
}
