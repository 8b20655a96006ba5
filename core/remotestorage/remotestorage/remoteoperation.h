#pragma once
// One descriptor per service operation: what its request looks like on the
// wire (path, field order, header version, time-out, root). The operations of
// CRemoteStorage only supply the field values; everything else comes from here.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hresult.h"

class XmlNode;

// Which configured root an operation's path is appended to.
enum class RemoteRoot {
    kFileSystem,    // "ServerRoot": every "/xsvr/" operation
    kFileSystemEx,  // "ServerRootEx": the https twin, chosen by no operation
    kPush,          // "PushNotifyRoot": the long poll
    kPushEx,        // "PushNotifyRootEx": the https twin, chosen by no operation
    kThumbnail,     // "ThumbnailRoot": preview packages
};

enum class RemoteOperationId {
    kLogin,
    kReLogin,
    kGetSpace,
    kGetMaxVers,
    kGetRecycle,
    kCleanRecycle,
    kRecover,
    kPushNotify,
    kGetNormalItemSnapshot,
    kGetDeletedItemSnapshot,
    kGetAllShareFile,
    kDir,
    kDelete,
    kDeleteEx,
    kRename,
    kNewFolder,
    kMove,
    kMoveEx,
    kNewFile,
    kUpdateFile,
    kUploadFile,
    kRequestDownload,
    kRequestDownloadPreviousVer,
    kDownloadContent,
    kGetThumbnail,
    kFullTextSearch,
    kGetItemInfo,
    kShareFile,
    kSetFileModTime,
};

struct RemoteOperation {
    RemoteOperationId id;
    // Scope name of the tracer, e.g. "CRemoteStorage::Dir()".
    const wchar_t* traceName;
    // Appended to the root as it stands; for the transfers the part before the query.
    const wchar_t* path;
    // Element names of the request document, in the order they are sent;
    // empty for requests without a document.
    std::vector<const wchar_t*> fields;
    // Value of the "v" header.
    const wchar_t* headerVersion;
    uint32_t timeoutSeconds;
    RemoteRoot root;
};

// Every operation, in interface order.
const std::vector<RemoteOperation>& RemoteOperations();
const RemoteOperation& GetRemoteOperation(RemoteOperationId id);

// "v:<version>&User-Agent:pellux" as UTF-8, each value URL-encoded.
std::string BuildRequestHeaders(const std::wstring& version);

// The "xNorle" document with one element per field of the operation; the
// values must come in the descriptor's order, one for each field.
std::wstring BuildRequestDocument(const RemoteOperation& operation, const std::vector<std::wstring>& values);

// The root's current value in "config.ini", read on every call so a changed
// address takes effect with the next request.
std::wstring ReadServerRoot(RemoteRoot root);

// Judges a reply text: E_FAIL when empty or not XML (the node keeps what it
// held), 0x80041011 without a "result", else the result name's code. The
// parsed reply stays in the node whatever the result. A text moved in is
// freed once parsing has converted it.
HRESULT JudgeReplyText(std::wstring text, XmlNode& reply);
