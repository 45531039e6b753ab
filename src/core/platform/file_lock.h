#pragma once

#include <cstdint>
#include <string_view>

// Keeps the settings file ours while it is bound: other instances of the program may
// read it but not write it. The lock is advisory between our own processes (flock on
// POSIX, a share mode without write sharing on Windows).
namespace platform {

class FileLock {
public:
    enum class Result {
        Locked,  // the file is open and ours
        InUse,   // another holder has it
        Failed,  // the file cannot be opened (or created)
    };

    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the file, creating it empty and owner-only when `create` is set and it is
    // missing, and takes the lock.
    Result Acquire(std::string_view gbkPath, bool create);
    void Release();
    bool Held() const { return m_handle != kNoHandle; }

    // The atomic replace hands over the handle of the file that took the old one's place.
    using NativeHandle = std::intptr_t;
    static constexpr NativeHandle kNoHandle = -1;
    NativeHandle Handle() const { return m_handle; }
    void Adopt(NativeHandle handle);

private:
    NativeHandle m_handle = kNoHandle;
};

}  // namespace platform
