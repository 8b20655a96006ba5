#include "core/remotestorage/remotestorage/remoteoperation.h"

#include <utility>

#include "base/settings/inisettings.h"
#include "base/utility/urlutil.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/strings.h"

namespace {

constexpr uint32_t kXmlTimeout = 30;
constexpr uint32_t kTransferTimeout = 10800;
constexpr uint32_t kPushTimeout = 270;
// Settings texts are read into buffers of 260 characters.
constexpr size_t kRootMaxChars = 259;

// The service has no address of its own: the defaults point at the local
// emulator's standard port.
constexpr const wchar_t* kDefaultServerRoot = L"http://127.0.0.1:8642";
constexpr const wchar_t* kDefaultServerRootEx = L"https://127.0.0.1:8642";
constexpr const wchar_t* kDefaultPushRoot = L"http://127.0.0.1:8642";
constexpr const wchar_t* kDefaultPushRootEx = L"https://127.0.0.1:8642";
constexpr const wchar_t* kDefaultThumbnailRoot = L"http://127.0.0.1:8642";

using Id = RemoteOperationId;
using Root = RemoteRoot;

std::vector<RemoteOperation> BuildTable() {
    const Root fs = Root::kFileSystem;
    return {
        {Id::kLogin,
         L"CRemoteStorage::Login()",
         L"/xsvr/login/",
         {L"user", L"password", L"deviceId", L"clientName", L"clientVersion"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kReLogin,
         L"CRemoteStorage::ReLogin()",
         L"/xsvr/forkToken/",
         {L"token", L"deviceId", L"clientName"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kGetSpace, L"CRemoteStorage::GetSpace()", L"/xsvr/getSpace/", {L"token"}, L"2", kXmlTimeout, fs},
        // A finite limit: log-in and listings wait for it on the UI thread.
        {Id::kGetMaxVers,
         L"CRemoteStorage::GetMaxVers()",
         L"/xsvr/getMaxVers/",
         {L"token"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kGetRecycle,
         L"CRemoteStorage::GetRecycle()",
         L"/xsvr/getRecycle/",
         {L"token", L"opVer", L"size"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kCleanRecycle,
         L"CRemoteStorage::CleanRecycle()",
         L"/xsvr/cleanRecycle/",
         {L"token", L"fileId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kRecover,
         L"CRemoteStorage::Recover()",
         L"/xsvr/recover/",
         {L"token", L"fileId", L"parentId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kPushNotify,
         L"CRemoteStorage::PushNotify()",
         L"/sync/get?",
         {},
         L"2",
         kPushTimeout,
         Root::kPush},
        {Id::kGetNormalItemSnapshot,
         L"CRemoteStorage::GetNormalItemSnapshot()",
         L"/xsvr/syncFile/",
         {L"token", L"opVer", L"size"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kGetDeletedItemSnapshot,
         L"CRemoteStorage::GetDeletedItemSnapshot()",
         L"/xsvr/syncDelFile/",
         {L"token", L"opVer", L"size"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kGetAllShareFile,
         L"CRemoteStorage::GetAllShareFile()",
         L"/xsvr/asmGetAllSharedFiles/",
         {L"token", L"type"},
         L"3",
         kXmlTimeout,
         fs},
        {Id::kDir, L"CRemoteStorage::Dir()", L"/xsvr/dir/", {L"token", L"fileId"}, L"2", kXmlTimeout, fs},
        {Id::kDelete,
         L"CRemoteStorage::Delete()",
         L"/xsvr/delete/",
         {L"token", L"fileId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kDeleteEx,
         L"CRemoteStorage::Delete()",
         L"/xsvr/deleteEx/",
         {L"token", L"fileId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kRename,
         L"CRemoteStorage::Rename()",
         L"/xsvr/rename/",
         {L"token", L"fileId", L"name"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kNewFolder,
         L"CRemoteStorage::NewFolder()",
         L"/xsvr/newFolder/",
         {L"token", L"parentId", L"name"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kMove,
         L"CRemoteStorage::Move()",
         L"/xsvr/move/",
         {L"token", L"fileId", L"parentId", L"name"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kMoveEx,
         L"CRemoteStorage::Move()",
         L"/xsvr/move/",
         {L"token", L"fileId", L"parentId", L"name"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kNewFile,
         L"CRemoteStorage::NewFile()",
         L"/xsvr/newFile/",
         {L"token", L"parentId", L"name"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kUpdateFile,
         L"CRemoteStorage::UpdateFile()",
         L"/xsvr/requestUpload/",
         {L"token", L"fileVer", L"size", L"fileId", L"sha1"},
         L"2",
         kXmlTimeout,
         fs},
        // The address comes from the UpdateFile reply; only the query is ours.
        {Id::kUploadFile, L"CRemoteStorage::_UploadFile()", L"", {}, L"2", kTransferTimeout, fs},
        {Id::kRequestDownload,
         L"CRemoteStorage::DownloadFile()",
         L"/xsvr/requestDownload/",
         {L"token", L"fileId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kRequestDownloadPreviousVer,
         L"CRemoteStorage::DownloadFile()",
         L"/xsvr/requestDownloadPreviousVer/",
         {L"token", L"fileId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kDownloadContent, L"RemoteStorage::_DownloadFile()", L"", {}, L"2", kTransferTimeout, fs},
        {Id::kGetThumbnail,
         L"CRemoteStorage::GetThumbnail()",
         L"/dsAgent/getHtmlPackage/?",
         {},
         L"2",
         kTransferTimeout,
         Root::kThumbnail},
        {Id::kFullTextSearch,
         L"CRemoteStorage::FullTextSearch()",
         L"/xsvr/fullTextSearch",
         {L"token", L"searchText", L"searchType"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kGetItemInfo,
         L"CRemoteStorage::GetItemInfo()",
         L"/xsvr/getItemInfo/",
         {L"token", L"fileId"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kShareFile,
         L"CRemoteStorage::ShareFile()",
         L"/xsvr/asmShare/",
         {L"token", L"fileId", L"sharers", L"writable", L"sendMail"},
         L"2",
         kXmlTimeout,
         fs},
        {Id::kSetFileModTime,
         L"CRemoteStorage::SetFileModTime()",
         L"/xsvr/setModTime/",
         {L"token", L"fileId", L"modTime"},
         L"2",
         kXmlTimeout,
         fs},
    };
}

}  // namespace

const std::vector<RemoteOperation>& RemoteOperations() {
    static const std::vector<RemoteOperation> table = BuildTable();
    return table;
}

const RemoteOperation& GetRemoteOperation(RemoteOperationId id) {
    // The table is in enum order.
    return RemoteOperations()[static_cast<size_t>(id)];
}

std::string BuildRequestHeaders(const std::wstring& version) {
    std::string out;
    std::string encoded;
    out += "v:";
    out += UrlEncode(WideToUtf8(version), encoded);
    out += "&User-Agent:";
    out += UrlEncode("pellux", encoded);
    return out;
}

std::wstring BuildRequestDocument(const RemoteOperation& operation, const std::vector<std::wstring>& values) {
    XmlNode node(L"xNorle");
    for (size_t i = 0; i < operation.fields.size(); ++i)
        node.AddValue(operation.fields[i], i < values.size() ? values[i] : std::wstring());
    return node.ToDocument();
}

std::wstring ReadServerRoot(RemoteRoot root) {
    const wchar_t* key = L"ServerRoot";
    const wchar_t* fallback = kDefaultServerRoot;
    switch (root) {
        case RemoteRoot::kFileSystem:
            break;
        case RemoteRoot::kFileSystemEx:
            key = L"ServerRootEx";
            fallback = kDefaultServerRootEx;
            break;
        case RemoteRoot::kPushEx:
            key = L"PushNotifyRootEx";
            fallback = kDefaultPushRootEx;
            break;
        case RemoteRoot::kPush:
            key = L"PushNotifyRoot";
            fallback = kDefaultPushRoot;
            break;
        case RemoteRoot::kThumbnail:
            key = L"ThumbnailRoot";
            fallback = kDefaultThumbnailRoot;
            break;
    }
    std::wstring value;
    IniReadString(value, L"Pellux", key, fallback);
    if (value.size() > kRootMaxChars)
        value.resize(kRootMaxChars);
    return value;
}

HRESULT JudgeReplyText(std::wstring text, XmlNode& reply) {
    if (text.empty())
        return E_FAIL;
    if (FAILED(reply.Parse(std::move(text))))
        return E_FAIL;
    const std::wstring result = reply.GetValue(L"result");
    if (result.empty())
        return E_RESULT_SERVER_ERROR;
    return ServerErrorTable::Lookup(result.c_str());
}
