#include "article/post_metadata.h"

#include <algorithm>

#include "article/alias.h"
#include "article/plain_text.h"
#include "article/word_segmenter.h"
#include "core/gbk_text.h"
#include "core/random.h"

namespace {

// Keyword count when the bounds ask for none: extracting tags was asked for, so some.
constexpr std::int32_t kDefaultKeywordCount = 5;

std::string Excerpt(const SiteConfig& site, std::string_view body) {
    const std::int32_t chars = RandomBetween(site.内容摘要数1, site.内容摘要数2);
    if (chars == 0) return {};
    return std::string(gbk::Left(PlainText(body), static_cast<std::size_t>(chars), true));
}

std::string TagsFromLines(SiteConfig& site) {
    auto& lines = site.prep.tagLines;
    if (lines.empty()) return {};
    const std::int32_t count = std::min(RandomBetween(site.标签数1, site.标签数2), kMaxDrawnTags);
    const auto last = static_cast<std::int64_t>(lines.size()) - 1;
    std::string tags;
    for (std::int32_t i = 0; i < count; ++i) {
        const auto& line = lines[static_cast<std::size_t>(site.prep.tagPicker.Draw(0, last))];
        if (!tags.empty()) tags += ',';
        tags += line;
    }
    return tags;
}

std::string Tags(SiteConfig& site, std::string_view title, std::string_view body) {
    if (!site.文章中提取标签) return TagsFromLines(site);
    std::int32_t count = RandomBetween(site.标签数1, site.标签数2);
    if (count < 1) count = kDefaultKeywordCount;
    std::string text(gbk::UntilZero(body));
    text += gbk::UntilZero(title);
    return ExtractKeywords(text, count);
}

}  // namespace

PostMetadata BuildPostMetadata(SiteConfig& site, std::string_view title, std::string_view body) {
    PostMetadata meta;
    meta.excerpt = Excerpt(site, body);
    meta.tags = Tags(site, title, body);
    meta.alias = BuildAlias(site, title);
    return meta;
}

void PrepareTagList(SiteConfig& site) {
    auto& lines = site.prep.tagLines;
    lines.clear();
    site.prep.tagPicker.Reset();
    const std::string_view data = gbk::UntilZero(site.标签数据);
    std::size_t start = 0;
    while (start < data.size()) {
        const std::size_t brk = data.find("\r\n", start);
        if (brk == std::string_view::npos) {
            lines.emplace_back(data.substr(start));
            break;
        }
        lines.emplace_back(data.substr(start, brk - start));
        start = brk + 2;
    }
}
