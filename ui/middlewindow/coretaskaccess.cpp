#include "core/coreapp/coreaccess.h"
#include "ui/middlewindow/itaskcore.h"

namespace {

class CCoreTaskAccess final : public ITaskCore {
public:
    bool IsLoggedIn() override { return GetCoreAccess().IsLoggedIn(); }
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) override {
        return GetCoreAccess().GetTaskList(finished, out);
    }
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out) override {
        return GetCoreAccess().GetOpenFileList(out);
    }
    HRESULT CancelAllTasks(const std::wstring& taskId) override {
        return GetCoreAccess().CancelAllTasks(taskId);
    }
    HRESULT ClearTaskList(const std::wstring& taskId) override {
        return GetCoreAccess().ClearTaskList(taskId);
    }
    HRESULT RetryTask(const std::wstring& taskId) override { return GetCoreAccess().RetryTask(taskId); }
    HRESULT RemoveOpenFile(const std::wstring& fileId) override {
        return GetCoreAccess().RemoveOpenFile(fileId);
    }
    HRESULT UploadOpenFileNow(const std::wstring& fileId) override {
        return GetCoreAccess().UploadOpenFileNow(fileId);
    }
};

}  // namespace

std::shared_ptr<ITaskCore> CoreTaskAccess() {
    return std::make_shared<CCoreTaskAccess>();
}
