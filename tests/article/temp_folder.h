#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "core/platform/files.h"
#include "core/platform/paths.h"

// A fresh folder under the system's temporary directory, removed with its content.
class TempFolder {
public:
    TempFolder() {
        std::random_device device;
        m_path = std::filesystem::temp_directory_path() /
                 ("qingluan-article-" + std::to_string(device()) + std::to_string(device()));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Native() const { return m_path; }
    // The folder as GBK text (temporary folders have ASCII names).
    std::string Gbk() const { return *platform::GbkPath(m_path); }
    // Writes a file named by GBK text; returns its GBK path.
    std::string Write(const std::string& gbkName, const std::string& bytes) const {
        const std::string path = platform::JoinPath(Gbk(), gbkName);
        platform::WriteWholeFile(path, bytes);
        return path;
    }

private:
    std::filesystem::path m_path;
};
