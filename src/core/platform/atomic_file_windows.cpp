#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/atomic_file.h"
#include "core/platform/file_lock.h"
#include "core/platform/paths.h"

namespace platform {
namespace {

// A virus scanner or an indexer opening the file for a moment makes the replace fail with
// a sharing error; such a refusal is retried for about a second before it counts.
constexpr int kRenameAttempts = 20;
constexpr DWORD kRenamePauseMs = 50;

std::string Utf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                        nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr,
                          nullptr);
    return out;
}

std::string Utf8(const std::wstring& text) {
    return Utf8(text.data(), text.size());
}

// Error texts are UTF-8, as on Linux: the callers convert them for display.
bool Fail(std::string* error, const std::string& what, DWORD code) {
    if (!error) return false;
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                     nullptr);
    std::string message = n ? Utf8(text, n) : std::string();
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    *error = what + ": " + (message.empty() ? std::string("error") : message) + " (" +
             std::to_string(code) + ")";
    return false;
}

bool IsTransient(DWORD code) {
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
           code == ERROR_LOCK_VIOLATION;
}

// A settings file kept as a link (symbolic link or junction on the way) stays a link: the
// file it points to is replaced. The file's own handle tells its final path.
std::wstring ResolvedTarget(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    HANDLE handle = ::CreateFileW(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return path;
    std::wstring final(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= final.size()) {
        final.resize(n);
        n = ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    ::CloseHandle(handle);
    if (n == 0 || n >= final.size()) return path;
    final.resize(n);
    return final;
}

// The temporary file stays open: it is renamed through its handle, and with a lock the
// handle becomes the lock, so its sharing is the lock's (read and delete, no write).
HANDLE WriteTemp(const std::wstring& temp, std::string_view bytes, std::string* error) {
    HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        Fail(error, "cannot create " + Utf8(temp), ::GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk =
            bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        ok = ::WriteFile(handle, bytes.data(), chunk, &written, nullptr) != 0 && written > 0;
        bytes.remove_prefix(written);
    }
    ok = ok && ::FlushFileBuffers(handle) != 0;
    if (!ok) {
        // Taken before the clean-up calls overwrite it.
        const DWORD code = ::GetLastError();
        ::CloseHandle(handle);
        ::DeleteFileW(temp.c_str());
        Fail(error, "cannot write " + Utf8(temp), code);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// Renames the open file over `target` (a full path). A target that some process holds
// open without delete sharing, our own lock included, refuses.
DWORD RenameOver(HANDLE handle, const std::wstring& target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, target.data(), nameBytes);
    if (!::SetFileInformationByHandle(handle, FileRenameInfo, info,
                                      static_cast<DWORD>(buffer.size())))
        return ::GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace

bool ReplaceFileAtomically(std::string_view gbkPath, std::string_view bytes, std::string* error,
                           FileLock* lock) {
    std::error_code ec;
    auto full = std::filesystem::absolute(NativePath(gbkPath), ec);
    if (ec) full = NativePath(gbkPath);
    const std::wstring target = ResolvedTarget(full.wstring());
    const std::wstring temp = target + L".tmp";
    HANDLE handle = WriteTemp(temp, bytes, error);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD code = ERROR_SUCCESS;
    bool lockLost = false;
    for (int attempt = 1;; ++attempt) {
        // Our lock's handle denies the replace: it is let go for the rename only, and the
        // new file's handle takes its place.
        if (lock) lock->Release();
        code = RenameOver(handle, target);
        if (code == ERROR_SUCCESS) break;
        if (lock && lock->Acquire(gbkPath, false) != FileLock::Result::Locked) {
            lockLost = true;
            break;
        }
        if (!IsTransient(code) || attempt == kRenameAttempts) break;
        ::Sleep(kRenamePauseMs);
    }
    if (code != ERROR_SUCCESS) {
        ::CloseHandle(handle);
        ::DeleteFileW(temp.c_str());
        return Fail(error,
                    lockLost ? "cannot replace " + Utf8(target) + ", and another program took it"
                             : "cannot replace " + Utf8(target),
                    code);
    }
    // The new name is on disk once the file's metadata is flushed.
    const bool flushed = ::FlushFileBuffers(handle) != 0;
    const DWORD flushCode = flushed ? ERROR_SUCCESS : ::GetLastError();
    if (lock)
        lock->Adopt(reinterpret_cast<FileLock::NativeHandle>(handle));
    else
        ::CloseHandle(handle);
    if (!flushed) return Fail(error, "cannot flush " + Utf8(target), flushCode);
    return true;
}

bool ReplaceFilesAtomically(const std::vector<FileContent>& files, std::string* error) {
    // Windows has no flush of a whole volume for an ordinary user, so each file is flushed
    // on its own.
    for (const auto& file : files)
        if (!ReplaceFileAtomically(file.gbkPath, file.bytes, error)) return false;
    return true;
}

}  // namespace platform
