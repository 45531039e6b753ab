#include "tools/category_lines.h"

#include "core/gbk_text.h"

CategoryFields ParseCategoryLine(std::string_view line, std::string pid) {
    std::string fields[4];
    std::size_t field = 0;
    for (std::size_t i = 0; i < line.size() && field < 4;) {
        const std::size_t length = gbk::CharLength(line, i);
        if (length == 1 && line[i] == '|')
            ++field;
        else
            fields[field].append(line.substr(i, length));
        i += length;
    }
    CategoryFields result;
    result.name = std::move(fields[0]);
    result.alias = std::move(fields[1]);
    result.templateName = std::move(fields[2]);
    result.description = std::move(fields[3]);
    result.pid = std::move(pid);
    return result;
}

std::vector<std::string> SplitCrLfLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}
