#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <string>

#include "core/platform/paths.h"

namespace platform {

std::string ProgramFolder() {
    // Long paths reach 32767 characters; a buffer that size does not belong on the stack.
    std::wstring buffer(32768, L'\0');
    const DWORD n =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return ".";
    buffer.resize(n);
    const auto gbk = GbkPath(std::filesystem::path(buffer).parent_path());
    return gbk ? *gbk : std::string(".");
}

}  // namespace platform
