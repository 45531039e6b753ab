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
    BuildRuns();
}

std::size_t WordIndex::Slot(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> m_shift);
}

void WordIndex::BuildRuns() {
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < m_keys.size(); ++i)
        if (i == 0 || m_keys[i].key != m_keys[i - 1].key) ++distinct;
    std::size_t size = 2;
    m_shift = 63;
    while (size < 2 * distinct) {
        size *= 2;
        --m_shift;
    }
    m_runs.assign(size, Run{});
    for (std::size_t i = 0; i < m_keys.size();) {
        std::size_t end = i + 1;
        while (end < m_keys.size() && m_keys[end].key == m_keys[i].key) ++end;
        std::size_t slot = Slot(m_keys[i].key);
        while (m_runs[slot].key != 0) slot = (slot + 1) & (size - 1);
        m_runs[slot] = {m_keys[i].key, static_cast<std::uint32_t>(i),
                        static_cast<std::uint32_t>(end)};
        i = end;
    }
}

std::size_t WordIndex::WordAt(std::string_view lower, std::size_t start,
                              std::size_t probeBytes) const {
    if (start >= lower.size() || probeBytes == 0 || probeBytes > kMaxProbeBytes) return 0;
    const std::string_view probe = lower.substr(start, probeBytes);
    if (probe == " ") return 0;
    const std::string_view rest = lower.substr(start);
    const std::uint64_t key = MakeKey(probe);
    std::size_t slot = Slot(key);
    while (m_runs[slot].key != key) {
        if (m_runs[slot].key == 0) return 0;
        slot = (slot + 1) & (m_runs.size() - 1);
    }
    for (std::uint32_t i = m_runs[slot].begin; i < m_runs[slot].end; ++i) {
        const std::string_view entry =
            std::string_view(m_list).substr(m_keys[i].offset, m_keys[i].length);
        if (rest.starts_with(entry)) return entry.size();
    }
    return 0;
}
