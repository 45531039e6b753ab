#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/platform/file_lock.h"
#include "core/platform/paths.h"

namespace platform {

FileLock::Result FileLock::Acquire(std::string_view gbkPath, bool create) {
    Release();
    const auto native = NativePath(gbkPath);
    // The holder replaces the file by renaming; a lock taken on the file just replaced
    // would guard nothing, so check that the locked file is still the one at the path.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd =
            ::open(native.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), S_IRUSR | S_IWUSR);
        if (fd < 0) return Result::Failed;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? Result::InUse : Result::Failed;
        }
        struct stat opened {};
        struct stat current {};
        if (::fstat(fd, &opened) == 0 && ::stat(native.c_str(), &current) == 0 &&
            opened.st_dev == current.st_dev && opened.st_ino == current.st_ino) {
            m_handle = fd;
            return Result::Locked;
        }
        ::close(fd);
    }
    return Result::Failed;
}

void FileLock::Release() {
    if (m_handle == kNoHandle) return;
    ::close(static_cast<int>(m_handle));
    m_handle = kNoHandle;
}

void FileLock::Adopt(NativeHandle handle) {
    Release();
    m_handle = handle;
}

}  // namespace platform
