#include "article/pinyin.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "article/pinyin_phrases.h"
#include "article/pinyin_table.h"
#include "core/gbk_text.h"

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::size_t Cell(unsigned char lead, unsigned char trail) {
    return static_cast<std::size_t>(lead - kGb2312PinyinFirstLead) * 94 +
           static_cast<std::size_t>(trail - kGb2312PinyinFirstTrail);
}

bool IsGb2312Hanzi(unsigned char lead, unsigned char trail) {
    return lead >= kGb2312PinyinFirstLead && lead <= kGb2312PinyinLastLead &&
           trail >= kGb2312PinyinFirstTrail && trail <= kGb2312PinyinLastTrail;
}

// The first two characters of a phrase as one number, in the table's byte order.
std::uint32_t Key(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
           std::uint32_t{b[3]};
}

// The table is sorted by bytes, so the phrases that begin with a character are one run of
// it (begin[cell] … begin[cell + 1]), and inside it those that begin with the same two
// characters: a lookup is a binary search over numbers and a few comparisons.
struct PhraseIndex {
    std::array<std::uint32_t, kGb2312PinyinCells + 1> begin{};
    std::vector<std::uint32_t> keys;
    std::vector<std::uint8_t> bytes;

    PhraseIndex() {
        std::array<std::uint32_t, kGb2312PinyinCells> counts{};
        keys.reserve(kPinyinPhraseCount);
        bytes.reserve(kPinyinPhraseCount);
        for (const PinyinPhrase& phrase : kPinyinPhrases) {
            const auto* b = reinterpret_cast<const unsigned char*>(phrase.text);
            ++counts[Cell(b[0], b[1])];
            keys.push_back(Key(phrase.text));
            bytes.push_back(static_cast<std::uint8_t>(std::strlen(phrase.text)));
        }
        for (std::size_t cell = 0; cell < kGb2312PinyinCells; ++cell)
            begin[cell + 1] = begin[cell] + counts[cell];
    }
};

const PhraseIndex& Index() {
    static const PhraseIndex index;
    return index;
}

// The readings of the longest phrase that starts at pos, or empty.
std::string_view PhraseReadingAt(std::string_view line, std::size_t pos) {
    if (pos + 4 > line.size()) return {};
    const auto lead = static_cast<unsigned char>(line[pos]);
    const auto trail = static_cast<unsigned char>(line[pos + 1]);
    if (!IsGb2312Hanzi(lead, trail)) return {};
    const PhraseIndex& index = Index();
    const std::size_t cell = Cell(lead, trail);
    const auto first = index.keys.begin() + index.begin[cell];
    const auto last = index.keys.begin() + index.begin[cell + 1];
    const std::uint32_t key = Key(line.data() + pos);
    const std::size_t left = line.size() - pos;
    const PinyinPhrase* best = nullptr;
    std::size_t bestBytes = 0;
    // Every phrase is made of double-byte characters, so equal bytes mean equal
    // characters at the same boundaries.
    for (auto it = std::lower_bound(first, last, key); it != last && *it == key; ++it) {
        const auto i = static_cast<std::size_t>(it - index.keys.begin());
        const std::size_t n = index.bytes[i];
        if (n > bestBytes && n <= left &&
            std::memcmp(kPinyinPhrases[i].text, line.data() + pos, n) == 0) {
            best = &kPinyinPhrases[i];
            bestBytes = n;
        }
    }
    return best ? std::string_view(best->reading) : std::string_view();
}

// The next syllable of a phrase's readings; advances past it.
std::string_view NextSyllable(std::string_view& readings) {
    const std::size_t space = readings.find(' ');
    const std::string_view syllable = readings.substr(0, space);
    readings.remove_prefix(space == std::string_view::npos ? readings.size() : space + 1);
    return syllable;
}

}  // namespace

std::string_view PinyinReadings(unsigned char lead, unsigned char trail) {
    if (!IsGb2312Hanzi(lead, trail)) return {};
    return kGb2312Pinyin[Cell(lead, trail)];
}

std::string_view FirstPinyinReading(unsigned char lead, unsigned char trail) {
    const std::string_view all = PinyinReadings(lead, trail);
    return all.substr(0, all.find(' '));
}

std::string ToPinyin(std::string_view text, std::int32_t caseMode, bool initialsOnly,
                     std::string_view separator) {
    if (caseMode < static_cast<std::int32_t>(PinyinCase::FirstSyllable) ||
        caseMode > static_cast<std::int32_t>(PinyinCase::Lower))
        return {};
    const auto mode = static_cast<PinyinCase>(caseMode);
    std::string out;
    out.reserve(text.size() * 3);
    std::size_t converted = 0;  // over the whole call: mode 1 capitalises only the first
    std::size_t lineStart = 0;
    while (true) {
        const std::size_t lf = text.find('\n', lineStart);
        std::string_view line = text.substr(
            lineStart, lf == std::string_view::npos ? std::string_view::npos : lf - lineStart);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t count = gbk::CountChars(line);
        bool previousConverted = false;
        std::string_view phrase;  // the syllables left of the phrase being read
        std::size_t pos = 0;
        for (std::size_t i = 1; i <= count; ++i) {
            if (phrase.empty()) phrase = PhraseReadingAt(line, pos);
            const std::size_t length = gbk::CharLength(line, pos);
            const std::string_view c = line.substr(pos, length);
            pos += length;
            std::string_view reading;
            if (!phrase.empty())
                reading = NextSyllable(phrase);
            else if (length == 2)
                reading = FirstPinyinReading(static_cast<unsigned char>(c[0]),
                                             static_cast<unsigned char>(c[1]));
            if (reading.empty()) {
                out.append(c);
                previousConverted = false;
                continue;
            }
            ++converted;
            std::string p(reading);
            if (mode == PinyinCase::EverySyllable ||
                (mode == PinyinCase::FirstSyllable && converted == 1))
                p[0] = Upper(p[0]);
            if (mode == PinyinCase::Upper)
                for (auto& ch : p) ch = Upper(ch);
            if (initialsOnly) p.resize(1);
            if (i != 1 && !previousConverted) out.append(separator);
            out.append(p);
            if (i != count) out.append(separator);
            previousConverted = true;
        }
        if (lf == std::string_view::npos) break;
        out.append("\r\n");
        lineStart = lf + 1;
    }
    return out;
}
