#include "article/pinyin.h"

#include "article/pinyin_table.h"
#include "core/gbk_text.h"

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

}  // namespace

std::string_view PinyinReadings(unsigned char lead, unsigned char trail) {
    if (lead < kGb2312PinyinFirstLead || lead > kGb2312PinyinLastLead) return {};
    if (trail < kGb2312PinyinFirstTrail || trail > kGb2312PinyinLastTrail) return {};
    const std::size_t cell = static_cast<std::size_t>(lead - kGb2312PinyinFirstLead) * 94 +
                             static_cast<std::size_t>(trail - kGb2312PinyinFirstTrail);
    return kGb2312Pinyin[cell];
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
        std::size_t pos = 0;
        for (std::size_t i = 1; i <= count; ++i) {
            const std::size_t length = gbk::CharLength(line, pos);
            const std::string_view c = line.substr(pos, length);
            pos += length;
            const std::string_view reading =
                length == 2 ? FirstPinyinReading(static_cast<unsigned char>(c[0]),
                                                 static_cast<unsigned char>(c[1]))
                            : std::string_view();
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
