#include "componentwiring.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <memory>

#include "core/coreapp/componentmakers.h"
#include "core/coreapp/coreaccess.h"
#include "core/eventcenter/eventcenter.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/executor.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfilehandler.h"
#include "core/filesystem/filesystem/filesyncmgr.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/taskmgr/taskmgr.h"

namespace {

// Marker notifications are handled on the GUI thread, where the downloads
// they start may ask the user.
class CGuiExecutor : public IExecutor {
public:
    void Post(std::function<void()> task) override {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
    }
};

// A dropped marker's items download through the facade like any other download.
class CCoreAccessDownloader : public IMarkerDownloader {
public:
    HRESULT Download(const std::wstring& itemId, const std::wstring& parentId, const std::wstring& itemPath,
                     const std::wstring& destination) override {
        return GetCoreAccess().Download(itemId, parentId, itemPath, destination);
    }
    HRESULT DownloadFolder(const std::wstring& itemId, const std::wstring& parentId,
                           const std::wstring& itemPath, const std::wstring& destination) override {
        return GetCoreAccess().DownloadFolder(itemId, parentId, itemPath, destination);
    }
};

HRESULT MakeFileSystem(IFileSystem** out) {
    const HRESULT hr = CreateFileSystem(out);
    if (FAILED(hr))
        return hr;
    if (CFileSyncMgr* manager = static_cast<CFileSystem*>(*out)->FileSyncMgr())
        manager->SetMarkerMonitor(std::make_shared<CGuiExecutor>(),
                                  std::make_shared<CCoreAccessDownloader>());
    return hr;
}

}  // namespace

void InstallComponentMakers() {
    CoreComponentMakers makers = GetDefaultComponentMakers();
    makers.localStorage = CreateLocalStorage;
    makers.taskMgr = [](ITaskMgr** out) { return CreateTaskMgr(out); };
    makers.fileSystem = MakeFileSystem;
    makers.eventCenter = CreateEventCenter;
    SetDefaultComponentMakers(makers);
}
