#include "componentwiring.h"

#include "core/coreapp/componentmakers.h"
#include "core/eventcenter/eventcenter.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/taskmgr.h"

void InstallComponentMakers() {
    CoreComponentMakers makers;
    makers.localStorage = [](ILocalStorage** out) { return CreateLocalStorage(out); };
    makers.remoteStorage = [](IRemoteStorage** out) { return CreateRemoteStorage(out); };
    makers.taskMgr = [](ITaskMgr** out) { return CreateTaskMgr(out); };
    makers.fileSystem = [](IFileSystem** out) { return CreateFileSystem(out); };
    makers.eventCenter = [](IEventCenter** out) { return CreateEventCenter(out); };
    SetDefaultComponentMakers(makers);
}
