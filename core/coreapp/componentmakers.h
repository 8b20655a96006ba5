#pragma once
// How the sync center makes the five per-user components. The program
// installs the real makers at start-up; tests install fakes. A maker stores
// one reference in its out pointer and returns S_OK, or fails with the
// pointer untouched.
#include <functional>

#include "platform/hresult.h"

struct ILocalStorage;
struct IRemoteStorage;
struct ITaskMgr;
struct IFileSystem;
struct IEventCenter;

struct CoreComponentMakers {
    std::function<HRESULT(ILocalStorage**)> localStorage;
    // Also makes the short-lived client of the log-in request.
    std::function<HRESULT(IRemoteStorage**)> remoteStorage;
    std::function<HRESULT(ITaskMgr**)> taskMgr;
    std::function<HRESULT(IFileSystem**)> fileSystem;
    std::function<HRESULT(IEventCenter**)> eventCenter;
};

// A copy of the process-wide set. Until the program installs its own, the
// remote storage is the service client and the other makers are empty (a log-in
// then fails with E_NOTIMPL at the first missing component).
CoreComponentMakers GetDefaultComponentMakers();
// Replaces the process-wide set; sync centers made afterwards use it.
void SetDefaultComponentMakers(const CoreComponentMakers& makers);
