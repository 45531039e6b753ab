#include "article/word_segmenter.h"

#include <algorithm>
#include <unordered_map>

#include "article/compose_article.h"
#include "article/word_list.h"
#include "core/events.h"
#include "core/gbk_text.h"

namespace {

// Removed one after the other in this order, ASCII case ignored.
constexpr std::string_view kEntities[] = {
    "&ndash;", "&mdash;",  "&ldquo;",  "&rdquo;",  "&nbsp;",  "&lt;",    "&gt;",     "&quot;",
    "&times;", "&divide;", "&middot;", "&hellip;", "&lsquo;", "&rsquo;", "&permil;", "&prime;",
    "&Prime;", "&larr;",   "&uarr;",   "&rarr;",   "&darr;",  "&radic;", "&prop;",   "&infin;",
    "&ang;",   "&and;",    "&or;",     "&cap;",    "&cup;",   "&int;",   "&there4;", "&sim;",
    "&asymp;", "&ne;",     "&equiv;",  "&le;",     "&ge;",    "&oplus;", "&perp;",   "&amp;"};

// Position of the entity at or after `from`, ASCII case ignored; npos when absent. Every
// entity starts with "&", so only the ampersands need a closer look.
std::size_t FindEntity(std::string_view text, std::string_view entity, std::size_t from) {
    for (auto pos = text.find('&', from); pos != std::string_view::npos;
         pos = text.find('&', pos + 1)) {
        if (text.size() - pos < entity.size()) return std::string_view::npos;
        if (std::equal(entity.begin(), entity.end(),
                       text.begin() + static_cast<std::ptrdiff_t>(pos),
                       [](char a, char b) { return gbk::AsciiLower(a) == gbk::AsciiLower(b); }))
            return pos;
    }
    return std::string_view::npos;
}

std::string RemoveEntity(std::string_view text, std::string_view entity) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (auto hit = FindEntity(text, entity, 0); hit != std::string_view::npos;
         hit = FindEntity(text, entity, start)) {
        out.append(text, start, hit - start);
        start = hit + entity.size();
    }
    out.append(text, start);
    return out;
}

// Sets the busy flag for one extraction, waiting in 10 ms steps while it is taken.
class BusyGuard {
public:
    explicit BusyGuard(std::atomic<bool>& busy) : m_busy(busy) {
        while (m_busy.exchange(true, std::memory_order_acquire)) WaitMs(10);
    }
    ~BusyGuard() { m_busy.store(false, std::memory_order_release); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    std::atomic<bool>& m_busy;
};

}  // namespace

std::string CleanKeywordText(std::string_view text) {
    std::string cleaned = StripTags(text);
    for (const auto entity : kEntities) {
        // Skip the copy for the common case of an entity that is not there.
        if (FindEntity(cleaned, entity, 0) != std::string_view::npos)
            cleaned = RemoveEntity(cleaned, entity);
    }
    return cleaned;
}

std::string LowerAsciiChars(std::string_view text) {
    std::string lower(text);
    for (std::size_t pos = 0; pos < lower.size();) {
        const std::size_t length = gbk::CharLength(lower, pos);
        if (length == 1) lower[pos] = gbk::AsciiLower(lower[pos]);
        pos += length;
    }
    return lower;
}

std::vector<std::string> SegmentWords(std::string_view cleaned, const WordFinder& find) {
    const std::string lower = LowerAsciiChars(cleaned);
    std::vector<std::string> words;
    std::size_t pos = 0;
    std::size_t length = gbk::CharLength(lower, pos, true);
    while (length > 0) {
        const std::size_t nextLength = gbk::CharLength(lower, pos + length, true);
        const std::size_t word = find(lower, pos, length + nextLength);
        if (word == 0) {
            pos += length;
            length = nextLength;
            continue;
        }
        words.emplace_back(cleaned.substr(pos, word));
        // Past every character the word covers.
        const std::size_t end = pos + word;
        while (pos < end && length > 0) {
            pos += length;
            length = gbk::CharLength(lower, pos, true);
        }
    }
    return words;
}

std::string RankKeywords(const std::vector<std::string>& words, std::int32_t count) {
    struct Ranked {
        std::string_view word;
        std::size_t firstSeen;
        std::size_t count;
    };
    std::vector<Ranked> ranked;
    std::unordered_map<std::string_view, std::size_t> slot;
    slot.reserve(words.size());
    for (const auto& word : words) {
        const auto [it, added] = slot.try_emplace(word, ranked.size());
        if (added)
            ranked.push_back({word, ranked.size(), 1});
        else
            ++ranked[it->second].count;
    }
    // Each word goes in before the first ranked word whose count is not above its own, in
    // order of first appearance: a later word wins a tie.
    const std::size_t take = count > 0 ? std::min<std::size_t>(ranked.size(), count) : 0;
    // Only the first `take` are needed; keys are unique, so this order is total.
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(take),
                      ranked.end(), [](const Ranked& a, const Ranked& b) {
                          return a.count != b.count ? a.count > b.count : a.firstSeen > b.firstSeen;
                      });
    std::string result;
    for (std::size_t i = 0; i < take; ++i) {
        if (i > 0) result += ',';
        result += ranked[i].word;
    }
    return result;
}

WordSegmenter::WordSegmenter() : WordSegmenter(std::string(BuiltInWordList())) {}

WordSegmenter::WordSegmenter(std::string wordList) : m_index(std::move(wordList)) {}

std::string WordSegmenter::ExtractKeywords(std::string_view text, std::int32_t count) {
    BusyGuard busy(m_busy);
    const auto find = [this](std::string_view lower, std::size_t start, std::size_t probe) {
        return m_index.WordAt(lower, start, probe);
    };
    // Texts end at their first zero byte.
    return RankKeywords(SegmentWords(CleanKeywordText(gbk::UntilZero(text)), find), count);
}

WordSegmenter& SharedWordSegmenter() {
    static WordSegmenter segmenter;
    return segmenter;
}

std::string ExtractKeywords(std::string_view text, std::int32_t count) {
    return SharedWordSegmenter().ExtractKeywords(text, count);
}
