#pragma once
// A destination written under a temporary name beside it and renamed into
// place only by Commit, so a failed encode or decode never leaves a partial
// file where the caller looks (and an existing file stays as it was).
#include <cstddef>
#include <cstdint>
#include <string>

class PendingFile {
public:
    PendingFile() = default;
    // Removes the temporary file unless it was committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool Create(const std::string& destination);
    bool Write(const void* bytes, size_t length);
    bool WriteAt(uint64_t offset, const void* bytes, size_t length);
    // Closes the file and renames it to the destination.
    bool Commit();

private:
    void Discard();

    std::string destination_;
    std::string temporary_;
    // -1 before Create and after Commit or Discard.
    int fd_ = -1;
};
