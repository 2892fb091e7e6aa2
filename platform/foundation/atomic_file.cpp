#include "platform/foundation/atomic_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/foundation/file_descriptor.hpp"
#include "platform/foundation/last_error.hpp"

namespace foundation {
namespace {

namespace fs = std::filesystem;

// Whatever the umask says: these files may hold private notes.
constexpr mode_t privateFileMode = 0600;

std::string randomSuffix() {
    unsigned long long value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != sizeof value)
        value =
            (unsigned long long)(::getpid()) * 0x9E3779B97F4A7C15ull ^ (unsigned long long)(&value);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", value);
    return text;
}

// Temporary names start with a dot so that a listing of the directory does not show them.
std::string temporaryPrefix(const fs::path& target) {
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += ".tmp-";
    return prefix;
}

fs::path directoryOf(const fs::path& target) {
    const fs::path directory = target.parent_path();
    return directory.empty() ? fs::path(".") : directory;
}

// A writer holds an exclusive lock on its temporary file from before the file has a name
// until it is renamed, so an unlocked temporary of ours belongs to a process that died.
void sweepStaleTemporaries(const fs::path& target) {
    const std::string prefix = temporaryPrefix(target);
    std::error_code error;
    for (fs::directory_iterator entry(directoryOf(target), error), end; !error && entry != end;
         entry.increment(error)) {
        if (!entry->path().filename().string().starts_with(prefix)) continue;
        FileDescriptor stale(
            ::open(entry->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status;
        if (!stale || ::fstat(stale.fd, &status) != 0 || !S_ISREG(status.st_mode)) continue;
        if (::flock(stale.fd, LOCK_EX | LOCK_NB) == 0) ::unlink(entry->path().c_str());
    }
}

// A file being written: its descriptor, locked, and the name it has beside the target.
struct Temporary {
    FileDescriptor file;
    fs::path name;
};

// Locked and private before anyone can see it by name.
std::error_code prepare(const FileDescriptor& file) {
    if (::fchmod(file.fd, privateFileMode) != 0) return lastError();
    if (::flock(file.fd, LOCK_EX) != 0) return lastError();
    return {};
}

// An unnamed file in the target's directory (O_TMPFILE): a process killed while writing it
// leaves nothing behind. Not every file system has them; nothing then.
FileDescriptor unnamedFile(const fs::path& target) {
    FileDescriptor file(
        ::open(directoryOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, privateFileMode));
    if (file && prepare(file)) file.reset();
    return file;
}

// Gives the unnamed file a fresh hidden name, so that it can be renamed over the target.
std::error_code linkUnnamed(const FileDescriptor& file, const fs::path& target, fs::path& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = directoryOf(target) / (temporaryPrefix(target) + randomSuffix());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return {};
        if (errno != EEXIST) return lastError();
    }
    return std::make_error_code(std::errc::file_exists);
}

// A named file, where unnamed ones are not possible. A sweep may take a name in the moment
// between its creation and its lock; the file then has no link left, and another name is
// tried.
std::error_code createNamed(const fs::path& target, Temporary& temporary) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary.name = directoryOf(target) / (temporaryPrefix(target) + randomSuffix());
        temporary.file = FileDescriptor(::open(
            temporary.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privateFileMode));
        if (!temporary.file) {
            if (errno == EEXIST) continue;
            return lastError();
        }
        struct stat status;
        if (auto error = prepare(temporary.file)) {
            ::unlink(temporary.name.c_str());
            return error;
        }
        if (::fstat(temporary.file.fd, &status) == 0 && status.st_nlink > 0) return {};
    }
    return std::make_error_code(std::errc::file_exists);
}

std::error_code writeAndFlush(const FileDescriptor& file, std::string_view bytes) {
    if (auto error = writeAll(file.fd, bytes)) return error;
    if (::fsync(file.fd) != 0) return lastError();
    return {};
}

// Writes and names the temporary file; on failure nothing named is left.
std::error_code writeTemporary(const fs::path& target, std::string_view bytes,
                               Temporary& temporary) {
    temporary.file = unnamedFile(target);
    if (temporary.file) {
        if (auto error = writeAndFlush(temporary.file, bytes)) return error;
        return linkUnnamed(temporary.file, target, temporary.name);
    }
    if (auto error = createNamed(target, temporary)) return error;
    if (auto error = writeAndFlush(temporary.file, bytes)) {
        ::unlink(temporary.name.c_str());
        return error;
    }
    return {};
}

}  // namespace

std::error_code writeFileAtomically(const fs::path& target, std::string_view bytes) {
    // Opened before anything is written: a directory that cannot be opened for the flush
    // after the rename (write and search but no read) fails the write with the old file intact.
    const FileDescriptor directory(
        ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directory) return lastError();
    sweepStaleTemporaries(target);
    Temporary temporary;
    if (auto error = writeTemporary(target, bytes, temporary)) return error;
    // The lock is held until the rename is done, so no sweep takes the file meanwhile.
    if (::rename(temporary.name.c_str(), target.c_str()) != 0) {
        const std::error_code error = lastError();
        ::unlink(temporary.name.c_str());
        return error;
    }
    const int fd = std::exchange(temporary.file.fd, -1);
    if (::close(fd) != 0) return lastError();
    // The rename is done; a failed directory flush cannot undo it, but it is still reported
    // because the new name may not survive a crash.
    if (::fsync(directory.fd) != 0) return lastError();
    return {};
}

std::error_code createDirectory(const fs::path& directory, mode_t mode) {
    struct stat info {};
    if (::stat(directory.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? std::error_code()
                                     : std::make_error_code(std::errc::not_a_directory);
    const fs::path parent = directory.parent_path();
    if (!parent.empty() && parent != directory) {
        if (auto error = createDirectory(parent, mode)) return error;
    }
    if (::mkdir(directory.c_str(), mode) != 0 && errno != EEXIST) return lastError();
    if (::stat(directory.c_str(), &info) != 0) return lastError();
    return S_ISDIR(info.st_mode) ? std::error_code()
                                 : std::make_error_code(std::errc::not_a_directory);
}

}  // namespace foundation
