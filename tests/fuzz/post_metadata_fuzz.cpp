// Tags, excerpt and alias of one publish attempt, from a title and a body of any bytes:
// the keyword segmenter over the cleaned text, the tag lines of 标签数据, the excerpt
// cut by characters, and each alias type (pinyin, random, running number). Input: two
// flag bytes, then title, body and 标签数据.

#include <cstddef>
#include <cstdint>
#include <string>

#include "article/post_metadata.h"
#include "article/word_segmenter.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Flagged first = fuzz::TakeFlags(fuzz::AsView(data, size));
    const fuzz::Flagged second = fuzz::TakeFlags(first.rest);
    const auto parts = fuzz::SplitParts(second.rest, 3);
    const std::string_view title = parts[0];
    const std::string_view body = parts[1];

    SiteConfig site;
    site.文章中提取标签 = first.Bit(0);
    site.标签数1 = first.flags >> 5;           // 0 … 7
    site.标签数2 = (first.flags >> 1) & 15;    // 0 … 15, either side of 标签数1
    site.内容摘要数1 = second.flags & 15;
    site.内容摘要数2 = (second.flags >> 4) * 8;  // 0 … 120
    site.别名类型 = (second.flags + first.flags) % 8;  // 0 … 6 and one unknown
    site.拼音间隔符 = first.flags % 3;
    site.字母数1 = 1;
    site.字母数2 = second.flags % 12;
    site.别名左边 = "p-";
    site.别名右边 = ".html";
    site.标签数据 = std::string(parts[2]);
    PrepareTagList(site);

    (void)BuildPostMetadata(site, title, body);
    (void)BuildPostMetadata(site, title, body);  // the tag picker goes on drawing

    // The segmenter on its own, over the raw text as well as the cleaned.
    (void)SegmentWords(body, [](std::string_view lower, std::size_t start, std::size_t probe) {
        return SharedWordSegmenter().Index().WordAt(lower, start, probe);
    });
    (void)LowerAsciiChars(title);
    return 0;
}
