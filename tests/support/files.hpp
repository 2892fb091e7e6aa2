#pragma once
// Scratch directories, environment and umask changes that undo themselves, and small file
// helpers.

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it at the end.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, removes) one environment variable until the end of its scope.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// Sets the process umask, which children inherit, until the end of its scope.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(saved_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t saved_;
};

// The whole content of a file; nothing when it cannot be read.
std::optional<std::string> readFile(const std::filesystem::path& path);

// Replaces the file's content (not atomically: tests set the stage before anything runs).
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Names of the entries of a directory (hidden ones included); empty when it does not exist.
std::set<std::string> directoryEntries(const std::filesystem::path& directory);

// lstat(2), throwing when the path does not exist.
struct stat fileStatus(const std::filesystem::path& path);

}  // namespace testsupport
