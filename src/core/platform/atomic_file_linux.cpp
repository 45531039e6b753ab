#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/platform/atomic_file.h"
#include "core/platform/file_lock.h"
#include "core/platform/paths.h"

namespace platform {
namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The rename is durable only once the folder's entry is on disk.
std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

bool FlushFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Writes and flushes the temporary file; returns its descriptor or -1.
int WriteTemp(const std::filesystem::path& target, const std::string& temp, std::string_view bytes,
              bool lock, bool flush, std::string* error) {
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // Following a link planted at the temporary name would write somewhere else.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        Fail(error, "cannot create " + temp);
        return -1;
    }
    bool ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : (S_IRUSR | S_IWUSR)) == 0;
    if (ok && exists) {
        // Best effort: root rewriting a user's file should leave it the user's.
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    if (ok && lock) ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ok = ok && WriteAll(fd, bytes) && (!flush || ::fsync(fd) == 0);
    if (!ok) {
        Fail(error, "cannot write " + temp);
        ::close(fd);
        ::unlink(temp.c_str());
        return -1;
    }
    return fd;
}

// A settings file kept as a link stays a link: the file it points to is replaced.
std::filesystem::path ResolvedTarget(std::string_view gbkPath) {
    const auto native = NativePath(gbkPath);
    std::error_code ec;
    if (!std::filesystem::is_symlink(native, ec)) return native;
    const auto resolved = std::filesystem::weakly_canonical(native, ec);
    return ec ? native : resolved;
}

bool Replace(std::string_view gbkPath, std::string_view bytes, std::string* error, FileLock* lock,
             bool flushFolder) {
    const auto target = ResolvedTarget(gbkPath);
    const std::string temp = target.native() + ".tmp";
    const int fd = WriteTemp(target, temp, bytes, lock != nullptr, true, error);
    if (fd < 0) return false;
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        Fail(error, "cannot replace " + target.native());
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    if (lock)
        lock->Adopt(fd);
    else
        ::close(fd);
    if (flushFolder && !FlushFolder(FolderOf(target)))
        return Fail(error, "cannot flush the folder of " + target.native());
    return true;
}

}  // namespace

bool ReplaceFileAtomically(std::string_view gbkPath, std::string_view bytes, std::string* error,
                           FileLock* lock) {
    return Replace(gbkPath, bytes, error, lock, true);
}

bool ReplaceFilesAtomically(const std::vector<FileContent>& files, std::string* error) {
    // A flush per file costs a journal commit each; with hundreds of side files write all
    // temporary files first, flush the file system once, then rename them all.
    if (files.size() < 4) {
        for (const auto& file : files)
            if (!ReplaceFileAtomically(file.gbkPath, file.bytes, error)) return false;
        return true;
    }
    std::vector<std::pair<std::string, std::filesystem::path>> renames;
    auto dropTemps = [&] {
        for (const auto& rename : renames) ::unlink(rename.first.c_str());
    };
    for (const auto& file : files) {
        const auto target = ResolvedTarget(file.gbkPath);
        const std::string temp = target.native() + ".tmp";
        const int fd = WriteTemp(target, temp, file.bytes, false, false, error);
        if (fd < 0) {
            dropTemps();
            return false;
        }
        ::close(fd);
        renames.emplace_back(temp, target);
    }
    const int any =
        ::open(FolderOf(renames.front().second).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = any >= 0 && ::syncfs(any) == 0;
    if (any >= 0) ::close(any);
    if (!flushed) {
        dropTemps();
        return Fail(error, "cannot flush the file system");
    }
    std::vector<std::filesystem::path> folders;
    for (std::size_t i = 0; i < renames.size(); ++i) {
        const auto& [temp, target] = renames[i];
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            Fail(error, "cannot replace " + target.native());
            for (std::size_t j = i; j < renames.size(); ++j) ::unlink(renames[j].first.c_str());
            return false;
        }
        const auto folder = FolderOf(target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    for (const auto& folder : folders)
        if (!FlushFolder(folder)) return Fail(error, "cannot flush " + folder.native());
    return true;
}

}  // namespace platform
