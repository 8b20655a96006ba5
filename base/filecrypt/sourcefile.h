#pragma once
// A file opened for reading by the codecs; closed when the object goes.
#include <cstddef>
#include <cstdint>
#include <string>

class SourceFile {
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Opens a regular file; false when it is missing, unreadable or not a file.
    bool Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    // Current size of the file.
    bool Size(uint64_t* size) const;
    // Fills `length` bytes unless the end of the file comes first; `got` tells
    // how many arrived. False only on a read error.
    bool Read(void* buffer, size_t length, size_t* got);
    // Reads exactly `length` bytes at `offset`.
    bool ReadAt(uint64_t offset, void* buffer, size_t length);
    bool Seek(uint64_t offset);

private:
    // -1 while closed.
    int fd_ = -1;
};
