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
    static std::uint64_t MakeKey(std::string_view bytes);

    std::string m_list;
    std::vector<Key> m_keys;  // sorted by key, list order inside one key
};
