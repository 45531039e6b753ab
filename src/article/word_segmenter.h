#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "article/word_index.h"

// Finds the word at byte `start` of the lower-cased text, probing with `probeBytes` bytes
// (this character and the next): the word's byte length, 0 when none.
using WordFinder =
    std::function<std::size_t(std::string_view lower, std::size_t start, std::size_t probeBytes)>;

// The text keywords are taken from: tags stripped and the listed HTML entities deleted.
std::string CleanKeywordText(std::string_view text);

// The copy of a text the words are searched in: ASCII letters lower-cased, but only those
// that are characters of their own; a trail byte of a double-byte character that happens
// to lie in A … Z stays, or words holding such a character could never be found.
std::string LowerAsciiChars(std::string_view text);

// The dictionary words of a cleaned text, in text order and case as written; characters
// that start no word are dropped. A CR LF pair counts as one character.
std::vector<std::string> SegmentWords(std::string_view cleaned, const WordFinder& find);

// The words ranked by how often they occur (exact bytes); of equal counts the word that
// first appeared later comes first. The first `count` of them joined by ",".
std::string RankKeywords(const std::vector<std::string>& words, std::int32_t count);

// The dictionary-based keyword extractor. One instance serves the whole program; its work
// buffers are shared, so extractions run one at a time.
class WordSegmenter {
public:
    WordSegmenter();  // the built-in word list
    explicit WordSegmenter(std::string wordList);

    // Up to `count` of the most frequent dictionary words of text, joined by ",". Waits
    // while another extraction runs, letting user-interface events through.
    std::string ExtractKeywords(std::string_view text, std::int32_t count);

    const WordIndex& Index() const { return m_index; }

private:
    WordIndex m_index;
    std::atomic<bool> m_busy{false};
};

// The program's segmenter, built on first use.
WordSegmenter& SharedWordSegmenter();

// ExtractKeywords on the shared segmenter.
std::string ExtractKeywords(std::string_view text, std::int32_t count);
