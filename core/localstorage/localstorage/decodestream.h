#pragma once
// The second half of a decode, shared by the whole-file decode and the one
// that runs while a download arrives: unpacking or moving the plaintext into
// place; and that streaming decode itself.
#include <atomic>
#include <memory>
#include <string>

#include "base/crypto/sha1.h"
#include "base/filecrypt/encryptedstreamreader.h"
#include "core/localstorage/localstorage/ilocalstorage.h"

// Puts a decrypted plaintext (a file in the temporary folder, removed in any
// case) at desFile: unpacked when it is a packed one (format as
// DecryptFileAnyFormat reports it), else moved, provided it did not change
// since it was written. A failure leaves an existing desFile as it was.
// `unpacked` (may be null) tells which it was.
HRESULT PlaceDecodedFile(const std::wstring& plain, int format, const std::wstring& desFile,
                         bool* unpacked = nullptr);

class CDecodeStream final : public IDecodeStream {
public:
    // plain: a new name in the temporary folder for the plaintext.
    CDecodeStream(const std::wstring& plain, const std::wstring& desFile, const std::atomic<bool>& cancel);
    ~CDecodeStream() override;

    // False when the key is refused or the plaintext cannot be begun.
    bool Begin(const uint8_t* key, size_t keyLength);
    bool Write(const void* bytes, size_t length) override;
    HRESULT Finish(std::wstring* sha1) override;

private:
    const std::wstring m_plain;
    const std::wstring m_desFile;
    const std::atomic<bool>& m_cancel;
    Sha1Context m_sha1;  // of the plaintext, grown on the reader's thread
    EncryptedStreamReader m_reader;
};
