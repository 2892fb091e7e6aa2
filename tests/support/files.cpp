#include "support/files.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace testsupport {

namespace fs = std::filesystem;

TemporaryDirectory::TemporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base != nullptr && base[0] == '/' ? std::string(base) : "/tmp");
    pattern += "/jotbird-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    // Tests may leave directories without write permission behind; open them up first.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name,
                                                     const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) saved_ = old;
    if (value)
        ::setenv(name_.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    if (saved_)
        ::setenv(name_.c_str(), saved_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) return std::nullopt;
    return content.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::set<std::string> directoryEntries(const fs::path& directory) {
    std::set<std::string> names;
    std::error_code error;
    for (auto it = fs::directory_iterator(directory, error);
         !error && it != fs::directory_iterator(); it.increment(error))
        names.insert(it->path().filename().string());
    return names;
}

struct stat fileStatus(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        throw std::system_error(errno, std::generic_category(), "lstat " + path.string());
    return info;
}

}  // namespace testsupport
