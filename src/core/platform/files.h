#pragma once

#include <optional>
#include <string>
#include <string_view>

// Whole-file operations on GBK paths. Failures are results, never exceptions.
namespace platform {

// The whole content; std::nullopt when the file cannot be opened or read. Files larger
// than maxBytes are refused the same way.
std::optional<std::string> ReadWholeFile(std::string_view gbkPath,
                                         std::size_t maxBytes = std::size_t(1) << 31);

// Replaces the file's whole content (creating it); false on failure.
bool WriteWholeFile(std::string_view gbkPath, std::string_view bytes);

// Appends to the file (creating it); false on failure.
bool AppendToFile(std::string_view gbkPath, std::string_view bytes);

bool DeleteFileAt(std::string_view gbkPath);
bool FileExists(std::string_view gbkPath);
bool FolderExists(std::string_view gbkPath);

// Creates the folder and its missing parents; true when it exists afterwards.
bool CreateFolders(std::string_view gbkPath);

// Leaves the file readable and writable by its owner only (0600 on POSIX; on Windows the
// folder's access rules apply and only the read-only mark is cleared). For files that
// hold passwords in clear.
bool MakeOwnerOnly(std::string_view gbkPath);

}  // namespace platform
