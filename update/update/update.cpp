#include "update/update/update.h"

#include <cstdio>

#include "base/log/tracestack.h"
#include "base/settings/configfolder.h"
#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"
#include "base/utility/fileutil.h"
#include "base/utility/formatstring.h"
#include "base/utility/localpath.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "platform/strings.h"
#include "update/update/updateprotocol.h"
#include "update/update/updatezip.h"

namespace {

const wchar_t kCaption[] = L"Orvane便携版";
const uint32_t kRequestTimeoutSeconds = 10;
const uint32_t kDownloadTimeoutSeconds = 20;
const uint32_t kStopWaitMs = 5000;

}  // namespace

std::wstring GetUpdateAddress(const ProgramVersion& running, std::wstring* sha1) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CUpdate::_GetUpdateAdress()", &hr, L"");
    std::wstring address, userId, userName;
    IniReadString(address, L"Pellux", L"Update", kDefaultUpdateAddress);
    if (address.size() > 260)
        address.resize(260);
    RegReadString(userId, L"", L"userid", L"");
    RegReadString(userName, userId, L"username", L"");
    const std::string body = BuildUpdateRequestBody(userName, userId, running.Text());

    CComPtr<ITransport> transport;
    hr = TransportCreator()(&transport);
    std::wstring reply;
    if (SUCCEEDED(hr))
        hr = transport->Request(address.c_str(), kUpdateRequestHeaders, Utf8ToWide(body).c_str(), &reply,
                                kRequestTimeoutSeconds, true);
    if (FAILED(hr))
        return std::wstring();
    std::map<std::string, std::string> pairs = ParseUpdateReply(WideToUtf8(reply));
    if (pairs["Code"] != "OK")
        return std::wstring();
    if (sha1)
        *sha1 = Utf8ToWide(pairs["Sha1"]);
    return Utf8ToWide(pairs["Path"]);
}

HRESULT RunUpdateCheck(const UpdateCheckJob& job, const CWorkerThread::StopToken* stop) {
    auto stopped = [stop] { return stop && stop->StopRequested(); };
    std::wstring sha1;
    const std::wstring base = GetUpdateAddress(job.running, &sha1);
    if (base.empty())
        return S_FALSE;
    if (stopped())
        return E_FAIL;
    CComPtr<ITransport> transport;
    if (FAILED(TransportCreator()(&transport)))
        return E_FAIL;
    const std::wstring url = BuildUpdateDownloadAddress(base);
    HRESULT hr =
        transport->Download(url.c_str(), job.archivePath.c_str(), nullptr, nullptr, kDownloadTimeoutSeconds);
    // The reply's digest, when it gives one, must match what arrived.
    if (SUCCEEDED(hr) && !sha1.empty()) {
        std::wstring actual;
        if (FAILED(FileSha1Hex(job.archivePath, std::function<bool()>(), actual)) ||
            CompareNoCaseAscii(actual, sha1) != 0)
            hr = E_FAIL;
    }
    if (SUCCEEDED(hr))
        hr = ExtractUpdateZip(job.archivePath, job.stagedPath);
    std::remove(WideToUtf8(job.archivePath).c_str());
    if (FAILED(hr) || stopped())
        return E_FAIL;
    if (!IsStagedUpdateNewer(job.stagedPath, job.running))
        return S_FALSE;
    const ProgramVersion staged = ReadProgramVersion(job.stagedPath);
    if (job.hooks.showBalloon) {
        std::wstring text;
        FormatString(text, L"%s已升级到版本 v%d.%d.%d.%d, 重启程序后生效", kCaption, staged.parts[0],
                     staged.parts[1], staged.parts[2], staged.parts[3]);
        job.hooks.showBalloon(text, kCaption, 1, 30000);
    }
    return S_OK;
}

CUpdate::CUpdate(UpdateHooks hooks, std::wstring programPath, ProgramVersion running)
    : m_hooks(std::move(hooks)), m_programPath(std::move(programPath)), m_running(running) {}

CUpdate::~CUpdate() {
    WaitUpdateThread();
}

std::wstring CUpdate::StagingFolder() {
    std::wstring folder;
    GetConfigFolder(folder);
    folder = JoinLocalPath(folder, L"update");
    CreateFolderTree(folder);
    return folder;
}

std::wstring CUpdate::StagedProgramPath() {
    return JoinLocalPath(StagingFolder(), L"Orvane便捷版.exe");
}

std::wstring CUpdate::ArchivePath() {
    return JoinLocalPath(StagingFolder(), L"pellux.exe.zip");
}

int CUpdate::CheckAndApplyUpdate() {
    const std::wstring staged = StagedProgramPath();
    if (IsStagedUpdateNewer(staged, m_running)) {
        UpdateSwapEnv env;
        env.desktopFolder = m_hooks.desktopFolder.empty() ? DesktopFolder() : m_hooks.desktopFolder;
        env.copyFile = m_hooks.copyFile;
        env.showMessage = m_hooks.showMessage;
        RestartNewVersion(ApplyStagedUpdate(staged, m_programPath, env));
        return 1;
    }
    UpdateCheckJob job{m_hooks, m_running, ArchivePath(), staged};
    m_thread.Start([job](const CWorkerThread::StopToken& stop) { RunUpdateCheck(job, &stop); });
    return 0;
}

void CUpdate::WaitUpdateThread() {
    if (!m_thread.IsRunning())
        return;
    std::wstring text;
    m_thread.StopAndJoin(kStopWaitMs, FormatString(text, L"升级线程退出超时，TimeOut = %d", kStopWaitMs));
}

int CUpdate::RestartNewVersion(const std::wstring& path) {
    const bool started = m_hooks.startProgram && m_hooks.startProgram(path, {L"-hasupdate"});
    if (!started && m_hooks.showMessage) {
        std::wstring text;
        m_hooks.showMessage(
            FormatString(text, L"重新启动新版本的%s失败，请您手动启动。\n\n%s", kCaption, path), kCaption);
    }
    return 1;
}
