#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class FileLock;

// Replaces a file's whole content so that readers, a killed process or a power cut see
// either the old or the new bytes: a temporary file beside it (name + ".tmp") is written
// and flushed, renamed over the file, and the folder is flushed. A new file is readable
// by its owner only (0600 on POSIX); a rewritten one keeps its mode. With `lock`, the lock
// moves to the new file. On failure the old file is untouched, the result is false and
// *error (when given) says why.
bool ReplaceFileAtomically(std::string_view gbkPath, std::string_view bytes,
                           std::string* error = nullptr, FileLock* lock = nullptr);

// Several files replaced the same way; each file on its own is old or new. Stops at the
// first failure (files before it are already replaced).
struct FileContent {
    std::string gbkPath;
    std::string bytes;
};
bool ReplaceFilesAtomically(const std::vector<FileContent>& files, std::string* error = nullptr);

}  // namespace platform
