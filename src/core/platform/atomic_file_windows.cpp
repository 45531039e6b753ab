#include <windows.h>

#include <string>

#include "core/platform/atomic_file.h"
#include "core/platform/file_lock.h"
#include "core/platform/paths.h"

namespace platform {
namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + " (error " + std::to_string(::GetLastError()) + ")";
    return false;
}

bool WriteTemp(const std::wstring& temp, std::string_view bytes, std::string* error) {
    HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Fail(error, "cannot create the temporary file");
    bool ok = true;
    while (ok && !bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk =
            bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        ok = ::WriteFile(handle, bytes.data(), chunk, &written, nullptr) != 0;
        bytes.remove_prefix(written);
    }
    ok = ok && ::FlushFileBuffers(handle) != 0;
    ::CloseHandle(handle);
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return Fail(error, "cannot write the temporary file");
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(std::string_view gbkPath, std::string_view bytes, std::string* error,
                           FileLock* lock) {
    const std::wstring target = NativePath(gbkPath).wstring();
    const std::wstring temp = target + L".tmp";
    if (!WriteTemp(temp, bytes, error)) return false;
    // Our own handle denies the replace; let go of it for the move and take it again.
    if (lock) lock->Release();
    const bool moved = ::MoveFileExW(temp.c_str(), target.c_str(),
                                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!moved) Fail(error, "cannot replace the file");
    if (lock) lock->Acquire(gbkPath, false);
    if (!moved) ::DeleteFileW(temp.c_str());
    return moved;
}

bool ReplaceFilesAtomically(const std::vector<FileContent>& files, std::string* error) {
    for (const auto& file : files)
        if (!ReplaceFileAtomically(file.gbkPath, file.bytes, error)) return false;
    return true;
}

}  // namespace platform
