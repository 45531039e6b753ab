#include "core/platform/paths.h"

#include <mutex>

#include "core/charset.h"

namespace platform {
namespace {
std::mutex g_mutex;
std::optional<std::string> g_dataFolder;

bool IsSeparator(char c) {
    return c == '/' || c == kPathSeparator;
}
}  // namespace

std::filesystem::path NativePath(std::string_view gbkPath) {
#ifdef _WIN32
    const std::u16string wide = charset::GbkToUtf16(gbkPath);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
    const std::string utf8 = charset::GbkToUtf8(gbkPath);
    return std::filesystem::path(utf8);
#endif
}

std::optional<std::string> GbkPath(const std::filesystem::path& native) {
#ifdef _WIN32
    const std::wstring wide = native.wstring();
    const std::u16string u16(wide.begin(), wide.end());
    const std::string_view bytes(reinterpret_cast<const char*>(u16.data()), u16.size() * 2);
    return charset::Convert(bytes, "UTF-16LE", "GBK", charset::OnInvalid::Fail);
#else
    return charset::Utf8ToGbkStrict(native.native());
#endif
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !IsSeparator(out.back())) out += kPathSeparator;
    out += name;
    return out;
}

std::string ParentFolder(std::string_view path) {
    // Walk by GBK characters: a trail byte may equal '\\' (0x5C) and is no separator.
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c >= 0x80) {
            i += 2;
            continue;
        }
        if (IsSeparator(path[i])) last = i;
        ++i;
    }
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

std::string FileNameOf(std::string_view path) {
    const std::string parent = ParentFolder(path);
    if (parent.empty() && (path.empty() || !IsSeparator(path[0]))) return std::string(path);
    return std::string(path.substr(parent.size() + 1));
}

std::string DataFolder() {
    {
        std::lock_guard lock(g_mutex);
        if (g_dataFolder) return *g_dataFolder;
    }
    return ProgramFolder();
}

void SetDataFolder(std::string gbkFolder) {
    std::lock_guard lock(g_mutex);
    g_dataFolder = std::move(gbkFolder);
}

}  // namespace platform
