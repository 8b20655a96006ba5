#pragma once
// Keeps the program file up to date: installs a staged newer file at start-up,
// or asks the update service once in the background and stages what it offers.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hresult.h"
#include "platform/workerthread.h"
#include "update/update/updateswap.h"

struct UpdateHooks {
    std::function<void(const std::wstring& text, const std::wstring& caption)> showMessage;
    std::function<void(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                       uint32_t timeoutMs)>
        showBalloon;
    // Starts a program detached; false when it could not be started.
    std::function<bool(const std::wstring& path, const std::vector<std::wstring>& args)> startProgram;
    // CopyProgramFile unless a test injects a failure.
    std::function<bool(const std::string& from, const std::string& to)> copyFile;
    // DesktopFolder() when empty.
    std::wstring desktopFolder;
};

// One update check as the background thread runs it; everything it needs is
// copied in, so an abandoned thread touches nothing the program has freed.
struct UpdateCheckJob {
    UpdateHooks hooks;
    ProgramVersion running;
    std::wstring archivePath;
    std::wstring stagedPath;
};

// Asks the service, downloads and unpacks the offer, and announces a newer
// staged file. S_OK when a newer file was staged; S_FALSE when there is no
// update; E_FAIL on any failure (nothing staged is touched then).
HRESULT RunUpdateCheck(const UpdateCheckJob& job, const CWorkerThread::StopToken* stop);

// The service's download base ("Path" of an "OK" reply), or empty. sha1
// (optional) receives the archive digest the reply carries, if any.
std::wstring GetUpdateAddress(const ProgramVersion& running, std::wstring* sha1);

class CUpdate {
public:
    // programPath and running default to the running program's file and version.
    explicit CUpdate(UpdateHooks hooks, std::wstring programPath = RunningProgramPath(),
                     ProgramVersion running = RunningProgramVersion());
    ~CUpdate();
    CUpdate(const CUpdate&) = delete;
    CUpdate& operator=(const CUpdate&) = delete;

    // 1 when a staged newer file was installed and started (the caller ends the
    // process); else 0 after starting the update-check thread.
    int CheckAndApplyUpdate();
    // Stops the check at process end: 5000 ms, then it is left to finish detached.
    void WaitUpdateThread();
    // Starts the program with "-hasupdate"; tells the user when that fails.
    int RestartNewVersion(const std::wstring& path);

    // The staging folder under the settings folder, created when taken.
    static std::wstring StagingFolder();
    static std::wstring StagedProgramPath();
    static std::wstring ArchivePath();

private:
    UpdateHooks m_hooks;
    std::wstring m_programPath;
    ProgramVersion m_running;
    CWorkerThread m_thread;
};
