#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Finds the dictionary word that starts at one character of a lower-cased text, with the
// answer of a scan through the whole word list (entries separated by single spaces): the
// first entry, in list order, whose place in the list begins with the probe (the bytes of
// this character and the next) and whose bytes the text continues with. Scanning a
// quarter-megabyte list for every character costs seconds per article, so the entry starts
// are indexed by every prefix a probe can have (one to four bytes), each key listing its
// entries in list order; the first candidate the text continues with is the same entry the
// scan would stop at.
class WordIndex {
public:
    explicit WordIndex(std::string wordList);

    // Byte length of the word at byte `start` of `lower`, 0 when none; the probe is the
    // `probeBytes` bytes there (at most four: two characters).
    std::size_t WordAt(std::string_view lower, std::size_t start, std::size_t probeBytes) const;

    const std::string& WordList() const { return m_list; }

private:
    struct Key {
        std::uint64_t key;
        std::uint32_t offset;  // entry start in m_list
        std::uint32_t length;  // entry bytes
    };
    // One key's run in m_keys, in an open-addressing table: one probe into flat memory per
    // character, where node-based maps cost several cache misses.
    struct Run {
        std::uint64_t key = 0;  // 0: empty slot (a real key holds its length, never 0)
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
    };
    static std::uint64_t MakeKey(std::string_view bytes);
    std::size_t Slot(std::uint64_t key) const;
    void BuildRuns();

    std::string m_list;
    std::vector<Key> m_keys;  // sorted by key, list order inside one key
    std::vector<Run> m_runs;  // size a power of two, at most half full
    unsigned m_shift = 64;
};
