#include <windows.h>

#include <filesystem>

#include "core/platform/paths.h"

namespace platform {

std::string ProgramFolder() {
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    if (n == 0 || n >= 32768) return ".";
    const auto gbk = GbkPath(std::filesystem::path(std::wstring(buffer, n)).parent_path());
    return gbk ? *gbk : std::string(".");
}

}  // namespace platform
