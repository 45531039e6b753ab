#include "article/alias.h"

#include <cstdint>

#include "article/pinyin.h"
#include "article/random_text.h"
#include "core/gbk_text.h"
#include "core/random.h"
#include "settings/site_config.h"

namespace {

enum AliasType : std::int32_t {
    kNoAlias = 0,
    kInitials = 1,
    kFullPinyin = 2,
    kRandomDigits = 3,
    kRandomLetters = 4,
    kRandomAlnum = 5,
    kRunningNumber = 6,
};

bool AllowedInAlias(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == ',' || c == '.';
}

// Keeps only ASCII letters, digits, "_", "-", "," and "." (the class [\w\-\,\.] with an
// ASCII \w); every other character, single- or double-byte, goes as a whole.
std::string KeepSlugCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = gbk::CharLength(text, pos);
        if (length == 1 && AllowedInAlias(text[pos])) out.push_back(text[pos]);
        pos += length;
    }
    return out;
}

// Every ASCII space and full-width space (A1 A1) replaced by the separator, walking
// characters so that the trail byte of one character and the lead of the next never
// pass for a full-width space.
std::string ReplaceSpaces(std::string_view text, std::string_view separator) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = gbk::CharLength(text, pos);
        const std::string_view c = text.substr(pos, length);
        if (c == " " || c == "\xA1\xA1")
            out.append(separator);
        else
            out.append(c);
        pos += length;
    }
    return out;
}

std::string FullPinyinSlug(const SiteConfig& site, std::string_view title) {
    const std::string_view separator = PinyinSeparator(site.拼音间隔符);
    std::string slug = KeepSlugCharacters(ReplaceSpaces(
        ToPinyin(title, static_cast<std::int32_t>(PinyinCase::EverySyllable), false, separator),
        separator));
    if (!slug.empty() && (slug.back() == '-' || slug.back() == '_' || slug.back() == ','))
        slug.pop_back();
    return slug;
}

std::int32_t RandomLength(const SiteConfig& site) {
    return RandomBetween(site.字母数1, site.字母数2);
}

}  // namespace

std::string_view PinyinSeparator(std::int32_t index) {
    switch (index) {
        case 1:
            return "-";
        case 2:
            return "_";
        case 3:
            return ",";
        default:
            return "";
    }
}

void ResetAliasCounter(SiteConfig& site) {
    site.prep.AliasCounter = site.别名起始值;
}

std::string BuildAlias(SiteConfig& site, std::string_view title) {
    std::string alias;
    switch (site.别名类型) {
        case kInitials:
            alias = KeepSlugCharacters(
                ToPinyin(title, static_cast<std::int32_t>(PinyinCase::Lower), true, ""));
            break;
        case kFullPinyin:
            alias = FullPinyinSlug(site, title);
            break;
        case kRandomDigits:
            alias = RandomAlnumText(RandomLength(site), false, false, true, true);
            break;
        case kRandomLetters:
            alias = RandomAlnumText(RandomLength(site), false, true, false, false);
            break;
        case kRandomAlnum:
            alias = RandomAlnumText(RandomLength(site), false, false, false, false);
            break;
        case kRunningNumber:
            alias = std::to_string(site.prep.AliasCounter);
            // 32-bit wrap-around, as the counter's type has, without undefined overflow.
            site.prep.AliasCounter =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(site.prep.AliasCounter) +
                                          static_cast<std::uint32_t>(site.别名递增值));
            break;
        default:
            return {};
    }
    return site.别名左边 + alias + site.别名右边;
}
