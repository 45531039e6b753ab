#include "article/blank_trim.h"

#include "core/gbk_text.h"

std::string TrimBlanks(std::string_view text) {
    static constexpr std::string_view kWide = "\xA1\xA1";
    std::size_t begin = 0;
    while (begin < text.size()) {
        if (text[begin] == ' ') {
            ++begin;
        } else if (text.substr(begin, 2) == kWide) {
            begin += 2;
        } else {
            break;
        }
    }
    // Walk by character so that an A1 A1 pair straddling two characters is no blank.
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < text.size();) {
        const std::size_t length = gbk::CharLength(text, pos);
        const std::string_view ch = text.substr(pos, length);
        pos += length;
        if (ch != " " && ch != kWide) end = pos;
    }
    return std::string(text.substr(begin, end - begin));
}
