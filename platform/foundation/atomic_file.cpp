#include "platform/foundation/atomic_file.hpp"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/foundation/file_descriptor.hpp"

namespace foundation {
namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::string randomSuffix() {
    unsigned long long value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != sizeof value)
        value =
            (unsigned long long)(::getpid()) * 0x9E3779B97F4A7C15ull ^ (unsigned long long)(&value);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", value);
    return text;
}

// Opens a fresh temporary file in the target's directory; the name starts with a dot so that
// a listing of the container does not show it.
FileDescriptor createTemporary(const std::filesystem::path& target, std::filesystem::path& name) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string hidden = ".";
        hidden += target.filename().string();
        hidden += ".tmp-";
        hidden += randomSuffix();
        name = target.parent_path() / hidden;
        FileDescriptor file(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (file || errno != EEXIST) return file;
    }
    return FileDescriptor();
}

std::error_code syncDirectory(const std::filesystem::path& directory) {
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return lastError();
    if (::fsync(dir.fd) != 0) return lastError();
    return {};
}

}  // namespace

std::error_code writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path temporary;
    FileDescriptor file = createTemporary(target, temporary);
    if (!file) return lastError();

    std::error_code error = writeAll(file.fd, bytes);
    if (!error && ::fsync(file.fd) != 0) error = lastError();
    const int fd = std::exchange(file.fd, -1);
    if (::close(fd) != 0 && !error) error = lastError();
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = lastError();
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename is done; a failed directory flush cannot undo it, but it is still reported
    // because the new name may not survive a crash.
    std::filesystem::path directory = target.parent_path();
    return syncDirectory(directory.empty() ? "." : directory);
}

std::error_code createDirectory(const std::filesystem::path& directory, mode_t mode) {
    struct stat info {};
    if (::stat(directory.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? std::error_code()
                                     : std::make_error_code(std::errc::not_a_directory);
    const std::filesystem::path parent = directory.parent_path();
    if (!parent.empty() && parent != directory) {
        if (auto error = createDirectory(parent, mode)) return error;
    }
    if (::mkdir(directory.c_str(), mode) != 0 && errno != EEXIST) return lastError();
    if (::stat(directory.c_str(), &info) != 0) return lastError();
    return S_ISDIR(info.st_mode) ? std::error_code()
                                 : std::make_error_code(std::errc::not_a_directory);
}

}  // namespace foundation
