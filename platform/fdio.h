#pragma once
// Writing through a file descriptor until every byte is out.
#include <cstddef>

// Writes all bytes, resuming after interruptions and partial writes. False on
// any error or when the descriptor accepts nothing more.
bool WriteAllToFd(int fd, const void* data, size_t size);
