// ExtractKeywords on a 100 KB Chinese article (goal: under 10 ms), beside the figure of the
// word search as a scan through the whole list for every character.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "../tests/article/linear_word_scan.h"
#include "article/word_segmenter.h"
#include "bench_text.h"
#include "core/charset.h"

namespace {

// Paragraphs of dictionary words, cut words, punctuation and some ASCII, to `bytes` bytes.
std::string Article(std::size_t bytes) {
    const std::vector<std::string_view> entries = WordListEntries();
    const std::vector<std::string> fillers = {charset::Utf8ToGbk("，"),
                                              charset::Utf8ToGbk("。"),
                                              charset::Utf8ToGbk("的"),
                                              charset::Utf8ToGbk("了"),
                                              charset::Utf8ToGbk("在"),
                                              " 2024 ",
                                              "Windows ",
                                              "&nbsp;"};
    std::mt19937 gen(2026);
    std::string out;
    while (out.size() < bytes) {
        out += "<p>";
        for (int i = 0; i < 40; ++i) {
            const auto word = entries[gen() % entries.size()];
            out += gen() % 4 == 0 ? word.substr(0, 2) : word;
            out += fillers[gen() % fillers.size()];
        }
        out += "</p>\r\n";
    }
    out.resize(bytes);
    return out;
}

}  // namespace

int main() {
    const std::string text = Article(100 * 1024);
    const auto built = std::chrono::steady_clock::now();
    WordSegmenter& segmenter = SharedWordSegmenter();
    const double buildMs = Ms(built);

    std::vector<double> runs;
    std::string keywords;
    for (int i = 0; i < 30; ++i) {
        const auto start = std::chrono::steady_clock::now();
        keywords = segmenter.ExtractKeywords(text, 10);
        runs.push_back(Ms(start));
    }
    std::sort(runs.begin(), runs.end());

    const auto linearStart = std::chrono::steady_clock::now();
    const std::string_view list = segmenter.Index().WordList();
    const auto linearWords = SegmentWords(
        CleanKeywordText(text), [list](std::string_view lower, std::size_t at, std::size_t probe) {
            return LinearWordAt(list, lower, at, probe);
        });
    const std::string linearKeywords = RankKeywords(linearWords, 10);
    const double linearMs = Ms(linearStart);

    std::printf("article: %zu bytes\n", text.size());
    std::printf("segmenter start-up (index of %zu bytes of words): %.1f ms\n", list.size(),
                buildMs);
    std::printf(
        "ExtractKeywords, indexed: median %.2f ms, best %.2f ms, worst %.2f ms (goal < 10 ms)\n",
        runs[runs.size() / 2], runs.front(), runs.back());
    std::printf("same words by the linear scan: %.0f ms (%s)\n", linearMs,
                linearKeywords == keywords ? "same keywords" : "DIFFERENT KEYWORDS");
    std::printf("keywords: %s\n", charset::GbkToUtf8(keywords).c_str());
    return linearKeywords == keywords ? 0 : 1;
}
