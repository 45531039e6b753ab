#include "tools/random_groups.h"

#include <array>
#include <mutex>
#include <vector>

#include "article/hanzi_tables.h"
#include "article/random_text.h"
#include "core/gbk_text.h"
#include "core/random.h"
#include "tools/simplified_traditional.h"

namespace {

// A typo in a length box must not ask for gigabytes.
constexpr std::int32_t kMaxLength = 1000000;

std::int32_t TableNumber(std::int32_t table) {
    return table == 1 || table == 2 ? table : 0;
}

// Every character of a table in its traditional form, converted one character at a time
// (a random group holds no words), once per table: OpenCC per group would cost more than
// drawing the groups.
const std::vector<std::string>& TraditionalTable(std::int32_t table) {
    static std::array<std::once_flag, 3> once;
    static std::array<std::vector<std::string>, 3> tables;
    const std::int32_t t = TableNumber(table);
    std::call_once(once[static_cast<std::size_t>(t)], [t] {
        const std::string_view chars = HanziTableChars(t);
        auto& out = tables[static_cast<std::size_t>(t)];
        for (std::size_t i = 0; i + 1 < chars.size(); i += 2) {
            const std::string_view ch = chars.substr(i, 2);
            std::string converted = SimplifiedToTraditional(ch);
            out.push_back(gbk::CountChars(converted) == 1 ? std::move(converted) : std::string(ch));
        }
    });
    return tables[static_cast<std::size_t>(t)];
}

}  // namespace

std::string RandomHanziGroup(std::int32_t length, std::int32_t table, bool traditional) {
    const std::string_view chars = HanziTableChars(table);
    const std::vector<std::string>* converted = traditional ? &TraditionalTable(table) : nullptr;
    const std::int32_t n = length <= 0 ? 8 : (length > kMaxLength ? kMaxLength : length);
    const auto count = static_cast<std::int64_t>(chars.size() / 2);
    std::string group;
    group.reserve(static_cast<std::size_t>(n) * 2);
    for (std::int32_t i = 0; i < n; ++i) {
        const auto index = static_cast<std::size_t>(RandomBetween(0, count - 1));
        if (converted)
            group += (*converted)[index];
        else
            group.append(chars.substr(index * 2, 2));
    }
    return group;
}

std::string RandomGroups(std::int32_t length1, std::int32_t length2, std::int32_t groups,
                         const GroupMaker& group, const std::function<bool()>& stopAfterGroup) {
    std::string out;
    for (std::int32_t g = 1; g <= groups; ++g) {
        if (!out.empty()) out += "\r\n";
        out += group(RandomBetween(length1, length2));
        if (stopAfterGroup && stopAfterGroup()) break;
    }
    return out;
}

GroupMaker HanziGroups(std::int32_t table, bool traditional) {
    return [table, traditional](std::int32_t length) {
        return RandomHanziGroup(length, table, traditional);
    };
}

GroupMaker AlnumGroups(bool digits, bool lower, bool upper, bool fullWidth) {
    return [=](std::int32_t length) {
        return RandomAlnumText(length, fullWidth, !digits, !lower, !upper);
    };
}
