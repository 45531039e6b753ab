// One 100 KB article from file to publish fields: ComposeArticle, then BuildPostMetadata
// with keywords taken from the article, a 100 … 200 character excerpt and a pinyin alias
// (goal: under 20 ms for both together).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "article/compose_article.h"
#include "article/post_metadata.h"
#include "article/word_segmenter.h"
#include "bench_text.h"
#include "core/charset.h"
#include "core/platform/files.h"

namespace {

// A GBK text article: a title line, then lines of dictionary words and punctuation.
std::string Article(std::size_t bytes) {
    const std::vector<std::string_view> entries = WordListEntries();
    const std::vector<std::string> fillers = {charset::Utf8ToGbk("，"),
                                              charset::Utf8ToGbk("。"),
                                              charset::Utf8ToGbk("的"),
                                              charset::Utf8ToGbk("　"),
                                              " 2024 ",
                                              "<b>",
                                              "</b>",
                                              "&nbsp;",
                                              "http://example.com/a "};
    std::mt19937 gen(2026);
    std::string out = charset::Utf8ToGbk("城市里的春天和人民的生活\r\n");
    while (out.size() < bytes) {
        for (int i = 0; i < 40; ++i) {
            out += entries[gen() % entries.size()];
            out += fillers[gen() % fillers.size()];
        }
        out += "\r\n";
    }
    return out;
}

SiteConfig BenchSite() {
    SiteConfig site;
    site.首行标题 = true;
    site.段落标签 = true;
    site.文章中提取标签 = true;
    site.标签数1 = 3;
    site.标签数2 = 5;
    site.内容摘要数1 = 100;
    site.内容摘要数2 = 200;
    site.别名类型 = 2;
    site.拼音间隔符 = 1;
    site.分类ID = "1,2,3";
    PrepareCategoryList(site);
    PrepareTagList(site);
    return site;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "qingluan-bench-compose";
    std::filesystem::create_directories(dir);
    const std::string path = charset::Utf8ToGbk((dir / "article.txt").string());
    const std::string content = Article(100 * 1024);
    if (!platform::WriteWholeFile(path, content)) {
        std::fprintf(stderr, "cannot write the article\n");
        return 1;
    }
    SiteConfig site = BenchSite();
    SharedWordSegmenter();  // built at start-up in the program, not per article

    std::vector<double> compose, metadata, total;
    PostMetadata meta;
    for (int i = 0; i < 30; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto article = ComposeArticle(path, site);
        const double composed = Ms(start);
        if (!article) {
            std::fprintf(stderr, "the article did not compose\n");
            return 1;
        }
        const auto metaStart = std::chrono::steady_clock::now();
        meta = BuildPostMetadata(site, article->title, article->body);
        metadata.push_back(Ms(metaStart));
        compose.push_back(composed);
        total.push_back(Ms(start));
    }
    for (auto* runs : {&compose, &metadata, &total}) std::sort(runs->begin(), runs->end());
    const auto median = [](const std::vector<double>& runs) { return runs[runs.size() / 2]; };
    std::printf("article: %zu bytes\n", content.size());
    std::printf("ComposeArticle: median %.2f ms\n", median(compose));
    std::printf("BuildPostMetadata: median %.2f ms\n", median(metadata));
    std::printf("both: median %.2f ms, best %.2f ms, worst %.2f ms (goal < 20 ms)\n", median(total),
                total.front(), total.back());
    std::printf("tags: %s\nalias: %s\nexcerpt: %zu bytes\n", charset::GbkToUtf8(meta.tags).c_str(),
                charset::GbkToUtf8(meta.alias).c_str(), meta.excerpt.size());
    std::filesystem::remove_all(dir);
    return 0;
}
