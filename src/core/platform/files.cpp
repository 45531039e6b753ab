#include "core/platform/files.h"

#include <filesystem>
#include <fstream>

#include "core/platform/paths.h"

namespace platform {

std::optional<std::string> ReadWholeFile(std::string_view gbkPath, std::size_t maxBytes) {
    std::ifstream in(NativePath(gbkPath), std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size < 0 || static_cast<std::size_t>(size) > maxBytes) return std::nullopt;
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

namespace {
bool WriteWith(std::string_view gbkPath, std::string_view bytes, std::ios::openmode mode) {
    std::ofstream out(NativePath(gbkPath), std::ios::binary | mode);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}
}  // namespace

bool WriteWholeFile(std::string_view gbkPath, std::string_view bytes) {
    return WriteWith(gbkPath, bytes, std::ios::trunc);
}

bool AppendToFile(std::string_view gbkPath, std::string_view bytes) {
    return WriteWith(gbkPath, bytes, std::ios::app);
}

bool DeleteFileAt(std::string_view gbkPath) {
    std::error_code ec;
    return std::filesystem::remove(NativePath(gbkPath), ec) && !ec;
}

bool FileExists(std::string_view gbkPath) {
    std::error_code ec;
    return std::filesystem::is_regular_file(NativePath(gbkPath), ec);
}

bool FolderExists(std::string_view gbkPath) {
    std::error_code ec;
    return std::filesystem::is_directory(NativePath(gbkPath), ec);
}

bool CreateFolders(std::string_view gbkPath) {
    std::error_code ec;
    const auto native = NativePath(gbkPath);
    std::filesystem::create_directories(native, ec);
    return std::filesystem::is_directory(native, ec);
}

bool MakeOwnerOnly(std::string_view gbkPath) {
    std::error_code ec;
    std::filesystem::permissions(
        NativePath(gbkPath),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
        std::filesystem::perm_options::replace, ec);
    return !ec;
}

}  // namespace platform
