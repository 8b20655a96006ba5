#pragma once
// What a file task asks of the rest of the program: the question about an
// existing file and the commands that follow its answer. The program's host
// goes through the core-access object; tests give their own.
#include <memory>
#include <string>

#include "platform/hresult.h"

class IFileTaskHost {
public:
    virtual ~IFileTaskHost() = default;
    // Blocks until answered; answers as the core-access object's AskUser.
    virtual int AskUser(const std::wstring& rememberKey, const std::wstring& text,
                        const std::wstring& caption, const std::wstring& buttons, int flag,
                        const std::wstring& checkText, int rememberValue) = 0;
    virtual HRESULT Delete(bool isFolder, const std::wstring& fileId, const std::wstring& itemPath) = 0;
    // Queues an upload (a new file without file id).
    virtual HRESULT Upload(const std::wstring& fileId, const std::wstring& parentId, int fileVersion,
                           const std::wstring& remotePath, const std::wstring& localPath) = 0;
};

// The host that reaches the user and the facade through GetCoreAccess().
std::shared_ptr<IFileTaskHost> CoreAccessTaskHost();
