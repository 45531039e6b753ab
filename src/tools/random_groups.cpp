#include "tools/random_groups.h"

#include "article/hanzi_tables.h"
#include "article/random_text.h"
#include "core/random.h"
#include "tools/simplified_traditional.h"

namespace {

// A typo in a length box must not ask for gigabytes.
constexpr std::int32_t kMaxLength = 1000000;

}  // namespace

std::string RandomHanziGroup(std::int32_t length, std::int32_t table, bool traditional) {
    const std::string_view chars = HanziTableChars(table);
    const std::int32_t n = length <= 0 ? 8 : (length > kMaxLength ? kMaxLength : length);
    const auto count = static_cast<std::int64_t>(chars.size() / 2);
    std::string group;
    group.reserve(static_cast<std::size_t>(n) * 2);
    for (std::int32_t i = 0; i < n; ++i)
        group.append(chars.substr(static_cast<std::size_t>(RandomBetween(0, count - 1)) * 2, 2));
    return traditional ? SimplifiedToTraditional(group) : group;
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
