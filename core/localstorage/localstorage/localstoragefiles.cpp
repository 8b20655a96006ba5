// The file half of CLocalStorage: the local root and its temporary folder,
// facts about local files, temporary copies and the upload/download codec.
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "base/filecrypt/encryptedfile.h"
#include "base/log/tracestack.h"
#include "base/sevenzip/sevenzipreader.h"
#include "base/sevenzip/sevenzipwriter.h"
#include "base/utility/filetime.h"
#include "base/utility/fileutil.h"
#include "base/utility/localpath.h"
#include "core/localstorage/localstorage/compresspolicy.h"
#include "core/localstorage/localstorage/filekey.h"
#include "core/localstorage/localstorage/localfileops.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"

namespace {

const wchar_t kTempFolderName[] = L".tmp";

bool SameSha1(const std::wstring& a, const std::wstring& b) {
    return CompareNoCaseAscii(a, b) == 0;
}

HRESULT Sha1Of(const std::wstring& path, const std::atomic<bool>* cancel, std::wstring& hex) {
    std::function<bool()> goOn;
    if (cancel)
        goOn = [cancel] { return !cancel->load(); };
    return FileSha1Hex(path, goOn, hex);
}

// A failure after the cancel flag was set reads as the cancel it is.
HRESULT Failed(HRESULT hr, const std::atomic<bool>* cancel) {
    return cancel && cancel->load() ? E_ABORT : hr;
}

std::wstring FolderOf(const std::wstring& path) {
    std::wstring folder;
    return GetParentFolder(folder, path);
}

std::wstring Sibling(const std::wstring& path, const std::wstring& name) {
    return JoinLocalPath(FolderOf(path), name);
}

// Makes the temporary folder a real folder of its own: a link or a file in
// its place is removed first, so nothing outside the root is ever emptied.
void PrepareTempFolder(const std::wstring& folder) {
    const std::string path = WideToUtf8(folder);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        ::unlink(path.c_str());
    EmptyFolderNoFollow(folder);
    CreateFolderTree(folder);
    // Decoded contents wait here: the user's alone.
    ::chmod(path.c_str(), 0700);
}

}  // namespace

HRESULT CLocalStorage::Init(const std::wstring& configPath, const std::wstring& localSyncPath) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::Init()", &hr, L"ConfigPath = %s, LocalSyncPath = %s", configPath,
                       localSyncPath);
    CAutoLock lock(m_methodLock);
    std::wstring root = localSyncPath;
    if (root.size() > 1 && root.back() == L'/')
        root.pop_back();
    if (root.empty())
        return hr = E_FAIL;
    m_localSyncPath = root;
    CreateFolderTree(root);
    const std::wstring temp = JoinLocalPath(root, kTempFolderName);
    PrepareTempFolder(temp);
    m_tempPath = temp + L"/";
    return hr = CreateDbTable();
}

std::wstring CLocalStorage::TempFolder() const {
    CAutoLock lock(m_methodLock);
    return m_tempPath;
}

std::wstring CLocalStorage::GetFullPath(std::wstring* out, const std::wstring& relativePath) {
    std::wstring root;
    {
        CAutoLock lock(m_methodLock);
        root = m_localSyncPath;
    }
    std::wstring full = JoinLocalPath(root, relativePath);
    if (out)
        *out = full;
    return full;
}

std::wstring CLocalStorage::Resolve(const std::wstring& path, bool relatePath) {
    return relatePath ? GetFullPath(nullptr, path) : path;
}

HRESULT CLocalStorage::GetTempFilePath(std::wstring* out) {
    if (!out)
        return E_POINTER;
    *out = TempFolder() + NewTempFileName();
    return S_OK;
}

HRESULT CLocalStorage::CopyFileToTempPathByFullPath(const std::wstring& fullPath, std::wstring* tempPath,
                                                    bool relatePath) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::CopyFileToTempPathByFullPath()", &hr, L"szFullPath = %s", fullPath);
    if (!tempPath)
        return hr = E_POINTER;
    const std::wstring source = Resolve(fullPath, relatePath);
    if (!PathExists(WideToUtf8(source)))
        return hr = E_LOCAL_NOT_FOUND;
    std::wstring target;
    GetTempFilePath(&target);
    hr = CopyLocalFile(source, target);
    if (SUCCEEDED(hr))
        *tempPath = target;
    return hr;
}

HRESULT CLocalStorage::MoveTempFileToSyncSpace(const std::wstring& sourcePath, const std::wstring& cachePath,
                                               const std::wstring& name, const std::wstring& sha1) {
    (void)sha1;
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::MoveTempFileToSyncSpace()", &hr,
                       L"szSourcePath = %s, szCachePath = %s, szName = %s", sourcePath, cachePath, name);
    CAutoLock lock(m_methodLock);
    if (!PathExists(WideToUtf8(sourcePath)))
        return hr = E_LOCAL_NOT_FOUND;
    CreateFolderTree(FolderOf(cachePath));
    hr = MoveLocalFileReplacing(sourcePath, cachePath);
    // Replacing is allowed, so "exists" can only mean the target is held.
    if (hr == E_LOCAL_EXISTS)
        hr = E_LOCAL_BUSY;
    return hr;
}

HRESULT CLocalStorage::GetFileInfoByPath(const std::wstring& path, std::wstring* sha1, bool relatePath) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::GetFileInfoByPath()", &hr, L"szFilePath = %s, bRelatePath = %d", path,
                       relatePath ? 1 : 0);
    if (!sha1)
        return hr = E_POINTER;
    // Hashing touches no shared state; the method lock would stall every
    // cache read behind a large file.
    return hr = FileSha1Hex(Resolve(path, relatePath), std::function<bool()>(), *sha1);
}

HRESULT CLocalStorage::GetFileSizeByPath(const std::wstring& path, int64_t* size, bool relatePath) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::GetFileSizeByPath()", &hr, L"szFilePath = %s, bRelatePath = %d", path,
                       relatePath ? 1 : 0);
    if (!size)
        return hr = E_POINTER;
    uint64_t bytes = 0;
    hr = GetFileSize64(Resolve(path, relatePath), bytes);
    if (SUCCEEDED(hr))
        *size = static_cast<int64_t>(bytes);
    return hr;
}

HRESULT CLocalStorage::GetFileTimeByPath(const std::wstring& path, std::wstring* creationTime,
                                         std::wstring* writeTime, bool relatePath) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::GetFileTimeByPath()", &hr, L"szFilePath = %s, bRelatePath = %d", path,
                       relatePath ? 1 : 0);
    if (!creationTime || !writeTime)
        return hr = E_POINTER;
    return hr = FormatFileTime(Resolve(path, relatePath), *creationTime, *writeTime);
}

HRESULT CLocalStorage::EncodeFile(const std::wstring& nameForType, const std::wstring& srcFile,
                                  const std::wstring& desFile, const std::wstring& fileKey) {
    return Encode(nameForType, srcFile, desFile, fileKey, nullptr);
}

HRESULT CLocalStorage::EncodeFileCancelable(const std::wstring& nameForType, const std::wstring& srcFile,
                                            const std::wstring& desFile, const std::wstring& fileKey,
                                            const std::atomic<bool>& cancel) {
    return Encode(nameForType, srcFile, desFile, fileKey, &cancel);
}

HRESULT CLocalStorage::DecodeFile(const std::wstring& srcFile, const std::wstring& desFile,
                                  const std::wstring& fileKey) {
    return Decode(srcFile, desFile, fileKey, nullptr);
}

HRESULT CLocalStorage::DecodeFileCancelable(const std::wstring& srcFile, const std::wstring& desFile,
                                            const std::wstring& fileKey, const std::atomic<bool>& cancel) {
    return Decode(srcFile, desFile, fileKey, &cancel);
}

HRESULT CLocalStorage::Encode(const std::wstring& nameForType, const std::wstring& srcFile,
                              const std::wstring& desFile, const std::wstring& fileKey,
                              const std::atomic<bool>* cancel) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::EncodeFile()", &hr, L"SrcFile = %s, DesFile = %s", srcFile, desFile);
    const std::wstring temp = TempFolder();
    if (temp.empty() || !IsDirectoryPath(WideToUtf8(temp)))
        return hr = E_FAIL;
    // A bad key fails before anything is read or written.
    uint8_t key[kFileKeyBytes];
    hr = HexKeyToBytes(fileKey, key);
    if (FAILED(hr))
        return hr;
    std::wstring before;
    hr = Sha1Of(srcFile, cancel, before);
    if (FAILED(hr))
        return hr = Failed(hr, cancel);
    bool pack = true;
    hr = ShouldCompressFile(nameForType, srcFile, &pack);
    if (FAILED(hr))
        return hr;
    std::wstring after;
    hr = Sha1Of(srcFile, cancel, after);
    if (FAILED(hr))
        return hr = Failed(hr, cancel);
    if (!SameSha1(before, after))
        return hr = E_FAIL;  // changed while it was examined

    std::wstring packed;
    if (pack) {
        packed = Sibling(srcFile, NewTempFileName());
        if (!CompressFileTo7z(packed, srcFile)) {
            RemoveFileQuietly(packed);
            return hr = E_FAIL;
        }
    }
    const BOOL encrypted =
        EncryptFileToHeaderFormat(key, sizeof(key), pack ? packed : srcFile, desFile, cancel);
    RemoveFileQuietly(packed);
    if (!encrypted)
        return hr = Failed(E_FAIL, cancel);
    return hr = S_OK;
}

HRESULT CLocalStorage::Decode(const std::wstring& srcFile, const std::wstring& desFile,
                              const std::wstring& fileKey, const std::atomic<bool>* cancel) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CLocalStorage::DecodeFile()", &hr, L"SrcFile = %s, DesFile = %s", srcFile, desFile);
    uint8_t key[kFileKeyBytes];
    hr = HexKeyToBytes(fileKey, key);
    if (FAILED(hr))
        return hr;
    const std::wstring plain = Sibling(srcFile, NewTempFileName());
    int format = -1;
    // The decrypter leaves nothing behind when it fails.
    if (!DecryptFileAnyFormat(key, sizeof(key), srcFile, plain, &format, cancel))
        return hr = Failed(E_FAIL, cancel);

    uint64_t archiveSize = 0;
    if (format == kDecodedLegacyPacked ||
        (format == kDecodedCurrent && Query7zArchive(plain, &archiveSize))) {
        // Unpacked beside the destination and renamed over it, so a failed
        // extraction leaves an existing destination as it was.
        const std::wstring unpacked = Sibling(desFile, L"." + NewTempFileName());
        const bool extracted = ExtractFirstFileFrom7z(unpacked, plain) != 0;
        RemoveFileQuietly(plain);
        if (!extracted) {
            RemoveFileQuietly(unpacked);
            return hr = E_FAIL;
        }
        if (::rename(WideToUtf8(unpacked).c_str(), WideToUtf8(desFile).c_str()) != 0) {
            RemoveFileQuietly(unpacked);
            return hr = E_FAIL;
        }
        return hr = S_OK;
    }

    // The plaintext is the file itself: it must not change between the
    // decryption and the move.
    std::wstring before;
    hr = Sha1Of(plain, cancel, before);
    if (SUCCEEDED(hr)) {
        std::wstring after;
        hr = Sha1Of(plain, cancel, after);
        if (SUCCEEDED(hr) && !SameSha1(before, after))
            hr = E_FAIL;
    }
    if (SUCCEEDED(hr) && FAILED(MoveLocalFileReplacing(plain, desFile)))
        hr = E_FAIL;
    if (FAILED(hr)) {
        RemoveFileQuietly(plain);
        return hr = Failed(hr, cancel);
    }
    return hr = S_OK;
}
