#include "core/localstorage/localstorage/decodestream.h"

#include <cstdio>
#include <functional>

#include "base/filecrypt/encryptedfile.h"
#include "base/sevenzip/sevenzipreader.h"
#include "base/utility/localpath.h"
#include "core/localstorage/localstorage/localfileops.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "platform/strings.h"

HRESULT PlaceDecodedFile(const std::wstring& plain, int format, const std::wstring& desFile, bool* unpacked) {
    // The plaintext must not change between the decryption and the move.
    FileState decrypted;
    if (FAILED(ReadFileState(plain, decrypted))) {
        RemoveFileQuietly(plain);
        return E_FAIL;
    }
    uint64_t archiveSize = 0;
    const bool packed =
        format == kDecodedLegacyPacked || (format == kDecodedCurrent && Query7zArchive(plain, &archiveSize));
    if (unpacked)
        *unpacked = packed;
    if (packed) {
        // Unpacked beside the destination and renamed over it, so a failed
        // extraction leaves an existing destination as it was.
        std::wstring folder;
        const std::wstring part = JoinLocalPath(GetParentFolder(folder, desFile), L"." + NewTempFileName());
        const bool extracted = ExtractFirstFileFrom7z(part, plain) != 0;
        RemoveFileQuietly(plain);
        if (!extracted) {
            RemoveFileQuietly(part);
            return E_FAIL;
        }
        if (::rename(WideToUtf8(part).c_str(), WideToUtf8(desFile).c_str()) != 0) {
            RemoveFileQuietly(part);
            return E_FAIL;
        }
        return S_OK;
    }
    FileState now;
    HRESULT hr = ReadFileState(plain, now);
    if (SUCCEEDED(hr) && !SameFileState(decrypted, now))
        hr = E_FAIL;
    if (SUCCEEDED(hr) && FAILED(MoveLocalFileReplacing(plain, desFile)))
        hr = E_FAIL;
    if (FAILED(hr))
        RemoveFileQuietly(plain);
    return hr;
}

CDecodeStream::CDecodeStream(const std::wstring& plain, const std::wstring& desFile,
                             const std::atomic<bool>& cancel)
    : m_plain(plain), m_desFile(desFile), m_cancel(cancel) {
    Sha1Init(&m_sha1);
}

CDecodeStream::~CDecodeStream() = default;

bool CDecodeStream::Begin(const uint8_t* key, size_t keyLength) {
    return m_reader.Begin(
        key, keyLength, m_plain,
        [this](const uint8_t* bytes, size_t length) { Sha1Update(bytes, length, &m_sha1); }, &m_cancel);
}

bool CDecodeStream::Write(const void* bytes, size_t length) {
    return m_reader.Write(bytes, length);
}

HRESULT CDecodeStream::Finish(std::wstring* sha1) {
    if (!sha1)
        return E_POINTER;
    // The reader leaves nothing behind when it fails.
    if (!m_reader.Finish())
        return m_cancel.load() ? E_ABORT : E_FAIL;
    bool unpacked = false;
    HRESULT hr = PlaceDecodedFile(m_plain, kDecodedCurrent, m_desFile, &unpacked);
    if (FAILED(hr))
        return m_cancel.load() ? E_ABORT : hr;
    // An unpacked file is not what was hashed on the way in.
    if (!unpacked) {
        *sha1 = FinalSha1Hex(&m_sha1);
        return S_OK;
    }
    hr = FileSha1Hex(m_desFile, m_cancel, *sha1);
    return FAILED(hr) && m_cancel.load() ? E_ABORT : hr;
}
