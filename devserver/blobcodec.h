#pragma once
// The encrypted-file format as the service sees it: the seeding encodes demo
// contents with keys it issues, and the preview decodes stored blobs.
#include <string>

namespace devserver {

class Store;

// The 32 key bytes of a 64-hex-digit file key, read the way the client reads
// it (second digit of each pair is the high nibble). False for a bad key.
bool FileKeyBytes(const std::string& fileKey, unsigned char key[32]);
// Encodes plaintext into the current encrypted-file format.
bool EncodeBlob(const Store& store, const std::string& fileKey, const std::string& plain, std::string* blob);
// Decodes a blob in either format; false when it does not decrypt cleanly.
bool DecodeBlob(const Store& store, const std::string& fileKey, const std::string& blob, std::string* plain);

}  // namespace devserver
