#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "core/platform/file_lock.h"
#include "core/platform/paths.h"

namespace platform {

FileLock::Result FileLock::Acquire(std::string_view gbkPath, bool create) {
    Release();
    const std::wstring native = NativePath(gbkPath).wstring();
    // No write sharing: other processes may read the file but not write it. Delete sharing
    // lets the atomic replace rename a new file over this one once the lock is let go.
    HANDLE handle = ::CreateFileW(
        native.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
        create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ? Result::InUse
                                                                               : Result::Failed;
    }
    m_handle = reinterpret_cast<NativeHandle>(handle);
    return Result::Locked;
}

void FileLock::Release() {
    if (m_handle == kNoHandle) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = kNoHandle;
}

void FileLock::Adopt(NativeHandle handle) {
    Release();
    m_handle = handle;
}

}  // namespace platform
