#pragma once
// The per-user local store: the database cache of the remote tree (the
// "files" table and the cache versions) and the local root with its
// temporary folder, file facts and the upload/download codec.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"
#include "platform/unknown.h"

// A decode fed with the encrypted file while it arrives (BeginDecodeStream).
// Dropping it before Finish leaves nothing behind.
struct IDecodeStream {
    virtual ~IDecodeStream() = default;
    // The next bytes, in order. False, now and later, once they cannot be
    // decoded this way; the whole file then goes through DecodeFile.
    virtual bool Write(const void* bytes, size_t length) = 0;
    // After the last byte: checks the encrypted file as DecodeFile does and
    // puts the result at the destination as it does (E_ABORT once cancelled);
    // sha1 gets the SHA-1 of the file now there.
    virtual HRESULT Finish(std::wstring* sha1) = 0;
};

struct ILocalStorage : IUnknown {
    PELLUX_INTERFACE_ID(0xAF23C8AF, 0xC5C7, 0x4C8E, 0xA2, 0xCA, 0xCB, 0x9D, 0xF7, 0x9E, 0x21, 0x7F)

    virtual HRESULT Init(const std::wstring& configPath, const std::wstring& localSyncPath) = 0;
    virtual HRESULT UnInit() = 0;
    // A transaction over the shared connection, held from Lock to Unlock.
    virtual HRESULT Lock() = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT ClearLastSnapshot() = 0;
    // S_FALSE when the folder must be listed from the service, S_OK when fresh.
    virtual HRESULT FolderNeedUpdate(const std::wstring& id) = 0;
    virtual HRESULT GetLastSyncSnapshot(const std::wstring& id, std::vector<RemoteItem>* out) = 0;
    virtual HRESULT GetItemInfo(const std::wstring& id, RemoteItem* out) = 0;
    virtual HRESULT GetItemShareRight(const std::wstring& id, std::vector<SharerInfo>* out) = 0;
    virtual HRESULT AddOrUpdateFileItem(const RemoteItem& item) = 0;
    // AddOrUpdateFileItem for each item in order, in one transaction: the rows
    // end exactly as the single calls leave them. Stores that cannot do better
    // make the single calls; the first failure is returned.
    virtual HRESULT AddOrUpdateFileItems(const std::vector<RemoteItem>& items) {
        HRESULT result = S_OK;
        for (const RemoteItem& item : items) {
            const HRESULT hr = AddOrUpdateFileItem(item);
            if (FAILED(hr) && SUCCEEDED(result))
                result = hr;
        }
        return result;
    }
    virtual HRESULT UpdateFileVersion(const std::wstring& fileId, int64_t fileSize, int64_t fileVersion,
                                      const std::wstring& sha1) = 0;
    virtual HRESULT DeleteStaleChildren(const std::wstring& parentId) = 0;
    virtual HRESULT UpdateFolderCacheVesion(const std::wstring& id) = 0;
    virtual HRESULT SetCurCacheVesion(int64_t optVersion) = 0;
    virtual int64_t GetCurCacheVesion(int64_t def) = 0;
    virtual HRESULT SetCurShareCacheVesion(int64_t optVersion) = 0;
    virtual int64_t GetCurShareCacheVesion(int64_t def) = 0;
    // relatePath: the path is relative to the local root.
    virtual HRESULT GetFileInfoByPath(const std::wstring& path, std::wstring* sha1, bool relatePath) = 0;
    virtual HRESULT GetFileSizeByPath(const std::wstring& path, int64_t* size, bool relatePath) = 0;
    virtual HRESULT GetFileTimeByPath(const std::wstring& path, std::wstring* creationTime,
                                      std::wstring* writeTime, bool relatePath) = 0;
    // nameForType: the name whose extension decides whether the file is packed.
    virtual HRESULT EncodeFile(const std::wstring& nameForType, const std::wstring& srcFile,
                               const std::wstring& desFile, const std::wstring& fileKey) = 0;
    virtual HRESULT DecodeFile(const std::wstring& srcFile, const std::wstring& desFile,
                               const std::wstring& fileKey) = 0;
    virtual HRESULT GetTempFilePath(std::wstring* out) = 0;
    virtual HRESULT CopyFileToTempPathByFullPath(const std::wstring& fullPath, std::wstring* tempPath,
                                                 bool relatePath) = 0;
    virtual HRESULT MoveTempFileToSyncSpace(const std::wstring& sourcePath, const std::wstring& cachePath,
                                            const std::wstring& name, const std::wstring& sha1) = 0;
    virtual std::wstring GetFullPath(std::wstring* out, const std::wstring& relativePath) = 0;
    virtual HRESULT LocalFullTextSearch(const std::wstring& searchText, std::vector<RemoteItem>* out) = 0;

    // EncodeFile and DecodeFile for transfer tasks: once cancel is set they
    // stop within one 64 KB piece of hashing or ciphering and return E_ABORT,
    // leaving no intermediate file. Objects without the check run to the end.
    virtual HRESULT EncodeFileCancelable(const std::wstring& nameForType, const std::wstring& srcFile,
                                         const std::wstring& desFile, const std::wstring& fileKey,
                                         const std::atomic<bool>& cancel) {
        (void)cancel;
        return EncodeFile(nameForType, srcFile, desFile, fileKey);
    }
    virtual HRESULT DecodeFileCancelable(const std::wstring& srcFile, const std::wstring& desFile,
                                         const std::wstring& fileKey, const std::atomic<bool>& cancel) {
        (void)cancel;
        return DecodeFile(srcFile, desFile, fileKey);
    }

    // Begins a decode into desFile that runs while the encrypted bytes arrive;
    // fails when the key is refused. E_NOTIMPL from stores that cannot.
    virtual HRESULT BeginDecodeStream(const std::wstring& desFile, const std::wstring& fileKey,
                                      const std::atomic<bool>& cancel,
                                      std::unique_ptr<IDecodeStream>* stream) {
        (void)desFile;
        (void)fileKey;
        (void)cancel;
        (void)stream;
        return E_NOTIMPL;
    }
};
