#include "article/compose_article.h"

#include <vector>

#include "article/blank_trim.h"
#include "article/html_tag_finder.h"
#include "article/text_decoding.h"
#include "article/text_markers.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "core/platform/paths.h"

namespace {

const std::string& UntitledTitle() {
    static const std::string title = charset::Utf8ToGbk("未命名标题");
    return title;
}

// Splits text into lines at LF; a CR right before the LF is not part of its line. Each
// line comes with the offset just past its LF (text.size() for a last line without one).
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(start, end - start);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        if (!visit(line, next)) return;
        start = next;
    }
}

std::string Between(std::string_view text, std::string_view left, std::string_view right) {
    std::int64_t position = 0;
    return TextBetween(text, left, right, position);
}

}  // namespace

std::string StripTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('<', pos);
        if (open == std::string_view::npos) break;
        const std::size_t next = text.find_first_of("<>", open + 1);
        if (next == std::string_view::npos) break;
        if (text[next] == '>') {
            out.append(text.substr(pos, open - pos));
            pos = next + 1;
        } else {
            // Another "<" first: this one opens no tag and stays.
            out.append(text.substr(pos, next - pos));
            pos = next;
        }
    }
    out.append(text.substr(pos));
    return out;
}

std::string TitleFromFileName(std::string_view path) {
    std::string name = platform::FileNameOf(path);
    const std::size_t dot = name.rfind('.');  // 0x2E is never a GBK trail byte
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

void TakeFirstLineTitle(std::string& title, std::string& body) {
    std::string found;
    std::size_t rest = body.size();
    ForEachLine(body, [&](std::string_view line, std::size_t next) {
        found = TrimBlanks(StripTags(line));
        if (found.empty()) return true;
        rest = next;
        return false;
    });
    if (!found.empty()) title = std::move(found);
    body.erase(0, rest);
}

void WrapParagraphs(std::string& body) {
    std::string out;
    out.reserve(body.size() + body.size() / 8);
    ForEachLine(body, [&](std::string_view line, std::size_t) {
        if (!line.empty()) {
            out += "<p>";
            out.append(line);
            out += "</p>\r\n";
        }
        return true;
    });
    body = std::move(out);
}

void PrepareCategoryList(SiteConfig& site) {
    auto& ids = site.prep.categoryIds;
    ids.clear();
    site.prep.categoryPicker.Reset();
    const std::string_view text = site.分类ID;
    if (text.empty()) return;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        ids.push_back(TextToInt(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
}

std::int32_t ChooseCategory(SiteConfig& site) {
    const auto& ids = site.prep.categoryIds;
    if (ids.empty()) return 0;
    const std::int32_t index =
        site.prep.categoryPicker.Draw(1, static_cast<std::int64_t>(ids.size()));
    if (index < 1 || static_cast<std::size_t>(index) > ids.size()) return 0;
    return ids[static_cast<std::size_t>(index) - 1];
}

std::optional<ArticleText> ComposeArticle(std::string_view path, SiteConfig& site) {
    ArticleText article;
    article.title = TitleFromFileName(path);
    if (article.title.empty()) article.title = UntitledTitle();

    std::string text = ReadArticleText(path, FileEncodingFromInt(site.文件编码)).text;
    HtmlTagFinder finder;
    std::string body = finder.FindElement(text, "body", {}, {}, false, false, 0, true, false);
    if (!body.empty()) text = std::move(body);
    if (text.empty()) return std::nullopt;

    if (site.首行标题) TakeFirstLineTitle(article.title, text);
    if (site.段落标签) WrapParagraphs(text);

    const std::string marker = Between(article.title, "[#", "#]");
    if (!marker.empty()) {
        article.category = TextToInt(marker);
        article.title = Between(article.title, "#]", "");
    } else {
        article.category = ChooseCategory(site);
    }
    article.body = std::move(text);
    site.prep.chosenCategory = article.category;
    return article;
}
