// ComposeArticle of a 100 KB HTML article and of a 20 MB page, the "=" tightening alone
// over 20 MB, and both scans of a folder of 10,000 files.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "article/article_source.h"
#include "article/compose_article.h"
#include "article/html_tag_finder.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"

namespace {

double Ms(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::string HtmlPage(std::size_t bytes) {
    const std::string paragraph = charset::Utf8ToGbk(
        "<p class = \"c\">青鸾助手把本地文件夹里的文章发布到多个博客站点，每篇文章都有标题、"
        "正文、标签和摘要。1 + 1 = 2, the quick brown fox.</p>\r\n");
    std::string out = "<html><head><title>t</title></head><body>\r\n<h1>[#3#]Title</h1>\r\n";
    while (out.size() < bytes) out += paragraph;
    return out + "</body></html>";
}

template <typename F>
double Best(int rounds, F f) {
    double best = 1e18;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, Ms(start));
    }
    return best;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "qingluan-bench-compose";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "many");
    const std::string folder = *platform::GbkPath(dir);

    SiteConfig site;
    site.文件编码 = 1;
    site.首行标题 = true;
    site.段落标签 = true;
    for (const std::size_t size : {std::size_t(100) << 10, std::size_t(20) << 20}) {
        const std::string path = platform::JoinPath(folder, "page.htm");
        platform::WriteWholeFile(path, HtmlPage(size));
        std::size_t bodyBytes = 0;
        const double ms = Best(size < (1u << 20) ? 20 : 3,
                               [&] { bodyBytes = ComposeArticle(path, site)->body.size(); });
        std::printf(
            "ComposeArticle %8zu KB HTML (GBK, first-line title, paragraphs): %8.2f ms"
            " (body %zu bytes)\n",
            size >> 10, ms, bodyBytes);
    }
    const std::string page = HtmlPage(std::size_t(20) << 20);
    HtmlTagFinder finder;
    std::printf("FindElement body, inner, tightened, 20 MB:                     %8.2f ms\n",
                Best(3, [&] { finder.FindElement(page, "body", {}, {}, false, false, 0, true); }));

    for (int i = 0; i < 10000; ++i)
        std::ofstream(dir / "many" / ("article-" + std::to_string(i) + (i % 3 ? ".txt" : ".htm")));
    site.文章目录 = platform::JoinPath(folder, "many");
    for (const char* filter : {"*.txt", "*.txt|*.htm", "art*-1?.txt"}) {
        std::size_t found = 0;
        site.文件过滤 = filter;
        const double pattern = Best(5, [&] { found = PatternScan(site).size(); });
        std::printf("PatternScan  10,000 files, filter %-12s: %8.2f ms (%zu listed)\n", filter,
                    pattern, found);
        const double findFile = Best(5, [&] { found = FindFileScan(site).size(); });
        std::printf("FindFileScan 10,000 files, filter %-12s: %8.2f ms (%zu listed)\n", filter,
                    findFile, found);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
