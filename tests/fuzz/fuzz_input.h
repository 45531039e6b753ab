#pragma once

// How the fuzz targets read one input. A function of several texts gets them as parts of
// the input separated by the byte 0x1E (ASCII record separator, rare in real text and one
// byte for the fuzzer to find); the last part keeps any further separators. Flags, where a
// target has them, come from the input's first byte.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline constexpr char kPartSeparator = '\x1E';

inline std::string_view AsView(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Exactly `count` parts; missing ones are empty.
inline std::vector<std::string_view> SplitParts(std::string_view input, std::size_t count) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find(kPartSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + 1);
    }
    parts.push_back(input);
    parts.resize(count);
    return parts;
}

// The first byte as flags, and the rest.
struct Flagged {
    std::uint8_t flags = 0;
    std::string_view rest;
    bool Bit(int n) const { return (flags >> n) & 1; }
};
inline Flagged TakeFlags(std::string_view input) {
    if (input.empty()) return {};
    return {static_cast<std::uint8_t>(input[0]), input.substr(1)};
}

// Stops the run with a message the crash report shows; for a broken invariant that is no
// sanitizer finding.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}
inline void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

// A folder of the target's own for files it must write, on a RAM disk when there is one
// (every input is written and replaced, and the store flushes each file it replaces).
// Plain ASCII, so it is the same path in GBK and UTF-8. QINGLUAN_FUZZ_SCRATCH names the
// folder to make it in, so a script can clear what a crashed run leaves behind.
inline const std::string& ScratchFolder() {
    // Never destroyed: the exit handler that removes the folder runs after static
    // destructors would have.
    static const std::string* folder = [] {
        std::error_code ec;
        const char* chosen = std::getenv("QINGLUAN_FUZZ_SCRATCH");
        std::filesystem::path base = chosen && *chosen ? chosen : "/dev/shm";
        if (!std::filesystem::is_directory(base, ec)) base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "qingluan-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) Fail("cannot create a scratch folder");
        auto* made = new std::string(pattern);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return made;
    }();
    return *folder;
}

inline void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) Fail("cannot write a scratch file");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        Fail("short write of a scratch file");
    std::fclose(file);
}

}  // namespace fuzz
