#include "article/word_index.h"

#include <algorithm>

namespace {
// A probe is two characters of at most two bytes each.
constexpr std::size_t kMaxProbeBytes = 4;
}  // namespace

std::uint64_t WordIndex::MakeKey(std::string_view bytes) {
    std::uint64_t key = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        key |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * (i + 1));
    return key;
}

WordIndex::WordIndex(std::string wordList) : m_list(std::move(wordList)) {
    const std::string_view list = m_list;
    // An entry starts right behind a space; an empty one (two spaces) could never be a
    // word, the scan would loop on it.
    for (std::size_t pos = 1; pos < list.size(); ++pos) {
        if (list[pos - 1] != ' ' || list[pos] == ' ') continue;
        const std::size_t end = std::min(list.find(' ', pos), list.size());
        // The list text at the entry start, as a probe's search sees it: a short entry's
        // key runs on over the space into the next entry.
        for (std::size_t k = 1; k <= kMaxProbeBytes && pos + k <= list.size(); ++k)
            m_keys.push_back({MakeKey(list.substr(pos, k)), static_cast<std::uint32_t>(pos),
                              static_cast<std::uint32_t>(end - pos)});
    }
    std::stable_sort(m_keys.begin(), m_keys.end(),
                     [](const Key& a, const Key& b) { return a.key < b.key; });
}

std::size_t WordIndex::WordAt(std::string_view lower, std::size_t start,
                              std::size_t probeBytes) const {
    if (start >= lower.size() || probeBytes == 0 || probeBytes > kMaxProbeBytes) return 0;
    const std::string_view probe = lower.substr(start, probeBytes);
    if (probe == " ") return 0;
    const std::string_view rest = lower.substr(start);
    const std::uint64_t key = MakeKey(probe);
    auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key,
                               [](const Key& a, std::uint64_t k) { return a.key < k; });
    for (; it != m_keys.end() && it->key == key; ++it) {
        const std::string_view entry = std::string_view(m_list).substr(it->offset, it->length);
        if (rest.starts_with(entry)) return entry.size();
    }
    return 0;
}
