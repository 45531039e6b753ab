#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Paths inside the system are GBK text; the file system takes native paths (UTF-8 on
// Linux, UTF-16 on Windows). Convert only here.
namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A GBK path as the file system's native path.
std::filesystem::path NativePath(std::string_view gbkPath);

// A native path as GBK; std::nullopt when a character of it has no GBK form (such a
// name would be mangled by the conversion, so callers skip it).
std::optional<std::string> GbkPath(const std::filesystem::path& native);

// folder + separator + name, without doubling a separator that folder already ends in.
std::string JoinPath(std::string_view folder, std::string_view name);

// Everything before the last separator ("" when there is none).
std::string ParentFolder(std::string_view path);

// The part after the last separator.
std::string FileNameOf(std::string_view path);

// The folder that holds the running executable, as GBK.
std::string ProgramFolder();

// The data folder: the program's folder unless set (by --settings) to another one.
std::string DataFolder();
void SetDataFolder(std::string gbkFolder);

}  // namespace platform
