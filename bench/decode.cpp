// ReadArticleText of a 10 MB UTF-8 article file (goal: at least 50 MB/s), plus the entity
// decoding of a 1 MB text full of references.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "article/html_entities.h"
#include "article/text_decoding.h"
#include "core/charset.h"
#include "core/platform/files.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Chinese paragraphs with some ASCII, as a typical article, to about `bytes` bytes.
std::string Utf8Article(std::size_t bytes) {
    const std::string paragraph =
        "<p>青鸾助手把本地文件夹里的文章发布到多个博客站点，每篇文章都有标题、正文、标签和摘要。"
        "The quick brown fox jumps over the lazy dog 1234567890.</p>\r\n";
    std::string out;
    out.reserve(bytes + paragraph.size());
    while (out.size() < bytes) out += paragraph;
    return out;
}

}  // namespace

int main() {
    constexpr std::size_t kSize = 10u << 20;
    const auto dir = std::filesystem::temp_directory_path() / "qingluan-bench-decode";
    std::filesystem::create_directories(dir);
    const std::string path = charset::Utf8ToGbk((dir / "article.txt").string());
    const std::string content = Utf8Article(kSize);
    if (!platform::WriteWholeFile(path, content)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }

    constexpr int kRounds = 5;
    double best = 1e9;
    std::size_t textBytes = 0;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const DecodedText decoded = ReadArticleText(path, FileEncoding::Auto);
        const double s = Seconds(start);
        if (decoded.encoding != FileEncoding::Utf8 || decoded.text.empty()) {
            std::fprintf(stderr, "unexpected decoding result\n");
            return 1;
        }
        textBytes = decoded.text.size();
        if (s < best) best = s;
    }
    const double mb = static_cast<double>(content.size()) / (1024.0 * 1024.0);
    std::printf(
        "ReadArticleText, %.1f MB UTF-8 file, auto-detect: best of %d %.1f ms, %.0f MB/s "
        "(goal >= 50 MB/s); %zu bytes of GBK text\n",
        mb, kRounds, best * 1000, mb / best, textBytes);

    std::string entities;
    for (int i = 0; entities.size() < (1u << 20); ++i)
        entities += "&#" + std::to_string(0x4E00 + (i * 37) % 20000) + ";&amp;&nbsp;&#x4E2D;x&";
    const auto start = std::chrono::steady_clock::now();
    const std::string decoded = DecodeHtmlEntities(entities);
    std::printf("DecodeHtmlEntities, %.1f MB of references: %.1f ms (%zu bytes out)\n",
                static_cast<double>(entities.size()) / (1024.0 * 1024.0), Seconds(start) * 1000,
                decoded.size());
    std::filesystem::remove_all(dir);
    return 0;
}
