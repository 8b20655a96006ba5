#pragma once
// The per-user local store: the "files" table of the per-user database as a
// cache of the listed remote tree, with the cache versions that decide when a
// cached listing may be shown, and the local root with its temporary folder
// and the upload/download codec. The database is opened by the sync center
// before the store is made (GetDatabase, GetDbConfigStore).
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/localstorage/localstorage/ilocalstorage.h"
#include "platform/criticalsection.h"

class CLocalStorage : public CUnknownImpl<ILocalStorage> {
public:
    CLocalStorage() = default;

    HRESULT Init(const std::wstring& configPath, const std::wstring& localSyncPath) override;
    HRESULT UnInit() override;
    // Nested calls on the thread that holds the transaction only count; the
    // outermost Unlock commits. A failed BEGIN releases the transaction again;
    // a failed COMMIT rolls back, so the shared connection never stays inside
    // a transaction. Unlock from a thread without the transaction fails.
    HRESULT Lock() override;
    HRESULT Unlock() override;
    HRESULT ClearLastSnapshot() override;
    HRESULT FolderNeedUpdate(const std::wstring& id) override;
    HRESULT GetLastSyncSnapshot(const std::wstring& id, std::vector<RemoteItem>* out) override;
    HRESULT GetItemInfo(const std::wstring& id, RemoteItem* out) override;
    HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) override;
    HRESULT AddOrUpdateFileItem(const RemoteItem& item) override;
    // A few statements per 500 items instead of two per item; a failed
    // statement ends the batch and is returned.
    HRESULT AddOrUpdateFileItems(const std::vector<RemoteItem>& items) override;
    HRESULT UpdateFileVersion(const std::wstring& fileId, int64_t fileSize, int64_t fileVersion,
                              const std::wstring& sha1) override;
    HRESULT DeleteStaleChildren(const std::wstring& parentId) override;
    HRESULT UpdateFolderCacheVesion(const std::wstring& id) override;
    HRESULT SetCurCacheVesion(int64_t optVersion) override;
    int64_t GetCurCacheVesion(int64_t def) override;
    HRESULT SetCurShareCacheVesion(int64_t optVersion) override;
    int64_t GetCurShareCacheVesion(int64_t def) override;
    HRESULT LocalFullTextSearch(const std::wstring& searchText, std::vector<RemoteItem>* out) override;

    HRESULT GetFileInfoByPath(const std::wstring& path, std::wstring* sha1, bool relatePath) override;
    HRESULT GetFileSizeByPath(const std::wstring& path, int64_t* size, bool relatePath) override;
    HRESULT GetFileTimeByPath(const std::wstring& path, std::wstring* creationTime, std::wstring* writeTime,
                              bool relatePath) override;
    HRESULT EncodeFile(const std::wstring& nameForType, const std::wstring& srcFile,
                       const std::wstring& desFile, const std::wstring& fileKey) override;
    HRESULT DecodeFile(const std::wstring& srcFile, const std::wstring& desFile,
                       const std::wstring& fileKey) override;
    HRESULT EncodeFileCancelable(const std::wstring& nameForType, const std::wstring& srcFile,
                                 const std::wstring& desFile, const std::wstring& fileKey,
                                 const std::atomic<bool>& cancel) override;
    HRESULT DecodeFileCancelable(const std::wstring& srcFile, const std::wstring& desFile,
                                 const std::wstring& fileKey, const std::atomic<bool>& cancel) override;
    HRESULT BeginDecodeStream(const std::wstring& desFile, const std::wstring& fileKey,
                              const std::atomic<bool>& cancel,
                              std::unique_ptr<IDecodeStream>* stream) override;
    HRESULT GetTempFilePath(std::wstring* out) override;
    HRESULT CopyFileToTempPathByFullPath(const std::wstring& fullPath, std::wstring* tempPath,
                                         bool relatePath) override;
    HRESULT MoveTempFileToSyncSpace(const std::wstring& sourcePath, const std::wstring& cachePath,
                                    const std::wstring& name, const std::wstring& sha1) override;
    std::wstring GetFullPath(std::wstring* out, const std::wstring& relativePath) override;

    // The temporary folder, ending with "/" (empty before Init).
    std::wstring TempFolder() const;

private:
    HRESULT CreateDbTable();
    HRESULT WriteItemRows(const std::vector<RemoteItem>& items);
    // Reads the rows of a query into out; full: localpath and sharers too.
    HRESULT ReadItems(const std::wstring& condition, bool full, std::vector<RemoteItem>* out);
    std::wstring Resolve(const std::wstring& path, bool relatePath);
    // The current cache version to stamp rows with. Inside the caller's own
    // transaction it is read once: a listing stamps every row with it, and
    // SetCurCacheVesion makes it read again.
    int64_t StampVersion();
    HRESULT Encode(const std::wstring& nameForType, const std::wstring& srcFile, const std::wstring& desFile,
                   const std::wstring& fileKey, const std::atomic<bool>* cancel);
    HRESULT Decode(const std::wstring& srcFile, const std::wstring& desFile, const std::wstring& fileKey,
                   const std::atomic<bool>* cancel);

    // Held from Lock to Unlock around the listing transaction.
    CCriticalSection m_transactionLock{LockRank::kStorageTransaction};
    // Guards the owner and depth of the transaction.
    CCriticalSection m_transactionStateLock;
    // The thread inside Lock; empty while no transaction is open.
    std::thread::id m_transactionOwner;
    // Lock calls of the owner not yet matched by Unlock.
    int m_transactionDepth = 0;
    // The current cache version as read inside the open transaction.
    bool m_stampVersionKnown = false;
    int64_t m_stampVersion = 0;
    // Held by the database methods for their whole run.
    mutable CCriticalSection m_methodLock{LockRank::kStorageMethod};
    // The local root without a trailing "/"; empty before Init.
    std::wstring m_localSyncPath;
    // The local root's ".tmp" folder, ending with "/".
    std::wstring m_tempPath;
};

// Makes a local store with one reference added for the caller.
HRESULT CreateLocalStorage(ILocalStorage** out);
