#include <unistd.h>

#include <filesystem>

#include "core/platform/paths.h"

namespace platform {

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    const auto gbk = GbkPath(exe.parent_path());
    return gbk ? *gbk : std::string(".");
}

}  // namespace platform
