#include "core/taskmgr/task/file_task/filebusyprobe.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/filelock.h"
#include "platform/strings.h"

HRESULT ProbeFileBusy(const std::wstring& path) {
    const std::string local = WideToUtf8(path);
    const int fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? E_LOCAL_FILE_MISSING : E_LOCAL_BUSY;
    const bool locked = HasForeignAdvisoryLock(fd);
    ::close(fd);
    return locked || HasEditorLockFile(local) ? E_LOCAL_BUSY : S_OK;
}
