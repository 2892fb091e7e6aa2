#pragma once
// Owns one POSIX file descriptor and closes it when it goes.

#include <unistd.h>

#include <string_view>
#include <system_error>
#include <utility>

namespace foundation {

struct FileDescriptor {
    int fd = -1;

    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    explicit operator bool() const { return fd >= 0; }
    void reset() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// Waits for `fd` to be ready for `events` (POLLIN, POLLOUT), as a blocking read or write
// would; a hang-up or an error counts as ready, so that the next call reports it.
std::error_code waitUntilReady(int fd, short events);

// write(2) until every byte is out, as on a blocking descriptor whatever its flags: resumes
// after signals, and waits while a non-blocking one is full.
std::error_code writeAll(int fd, std::string_view bytes);

}  // namespace foundation
