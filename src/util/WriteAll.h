#pragma once
// Writes every byte of a buffer to a file descriptor.
#include <cstddef>

// Goes on after short writes and interrupted calls, so a caller never has to
// count what the kernel took. False on any other failure, with errno set.
bool WriteAll(int fd, const void* data, std::size_t size);
