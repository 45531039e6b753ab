#include "article/word_segmenter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "article/text_decoding.h"
#include "article/word_list.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "linear_word_scan.h"

namespace {

std::string G(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string U(std::string_view gbk) {
    return charset::GbkToUtf8(gbk);
}

WordFinder LinearFinder(std::string_view list) {
    return [list](std::string_view lower, std::size_t start, std::size_t probe) {
        return LinearWordAt(list, lower, start, probe);
    };
}

WordFinder IndexFinder(const WordIndex& index) {
    return [&index](std::string_view lower, std::size_t start, std::size_t probe) {
        return index.WordAt(lower, start, probe);
    };
}

std::vector<std::string> Entries(std::string_view list) {
    std::vector<std::string> entries;
    for (std::size_t pos = 0; pos < list.size();) {
        const std::size_t end = std::min(list.find(' ', pos), list.size());
        if (end > pos) entries.emplace_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    return entries;
}

// Every character position of the lower-cased text, probed as the segmenter probes it.
void ExpectSameAtEveryCharacter(const WordIndex& index, std::string_view text) {
    const std::string lower = LowerAsciiChars(text);
    const std::string_view list = index.WordList();
    for (std::size_t pos = 0, length = gbk::CharLength(lower, 0, true); length > 0;) {
        const std::size_t next = gbk::CharLength(lower, pos + length, true);
        ASSERT_EQ(index.WordAt(lower, pos, length + next),
                  LinearWordAt(list, lower, pos, length + next))
            << "at byte " << pos << " of " << U(text.substr(0, 200));
        pos += length;
        length = next;
    }
}

// Texts that look like articles: words of the list with runs of other characters between.
std::string TextFromEntries(const std::vector<std::string>& entries, std::mt19937& gen,
                            std::size_t words) {
    static const std::vector<std::string> kFillers = {
        G("，"), G("。"), " ", "\r\n", G("的"), G("了"), "A", "1949", G("　"), "\n", "\r", "x"};
    std::uniform_int_distribution<std::size_t> pick(0, entries.size() - 1);
    std::uniform_int_distribution<std::size_t> filler(0, kFillers.size() - 1);
    std::string text;
    for (std::size_t i = 0; i < words; ++i) {
        std::string word = entries[pick(gen)];
        // Upper-case ASCII must still match: the search runs on a lower-cased copy.
        if (gen() % 4 == 0)
            for (auto& c : word) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        // Half words cut short, so that prefixes of longer entries come up.
        if (gen() % 3 == 0) word = std::string(gbk::Left(word, 1 + gen() % 3));
        text += word;
        if (gen() % 2 == 0) text += kFillers[filler(gen)];
    }
    return text;
}

// Any bytes: lone lead bytes, zero bytes, spaces next to anything.
std::string RandomBytes(std::mt19937& gen, std::size_t size) {
    std::string text(size, '\0');
    for (auto& c : text) c = static_cast<char>(gen() % 3 == 0 ? ' ' : gen() % 256);
    return text;
}

std::string ReadFixture(const char* name) {
    const std::string path = std::string(QINGLUAN_TEST_DATA) + "/keywords/" + name;
    return ReadArticleText(path, FileEncoding::Auto).text;
}

const WordIndex& BuiltInIndex() {
    return SharedWordSegmenter().Index();
}

TEST(WordList, HasTheFormTheSearchNeeds) {
    const std::string_view list = BuiltInWordList();
    ASSERT_GT(list.size(), 200'000u);
    EXPECT_EQ(list.front(), ' ');
    EXPECT_EQ(list.back(), ' ');
    EXPECT_EQ(list.find("  "), std::string_view::npos);
    const auto entries = Entries(list);
    EXPECT_EQ(entries.size(), 40554u);
    // Blocks of falling length in characters, and every entry valid GBK in lower case.
    std::size_t previous = SIZE_MAX;
    for (const auto& entry : entries) {
        const std::size_t chars = gbk::CountChars(entry);
        ASSERT_LE(chars, previous) << U(entry);
        previous = chars;
        ASSERT_TRUE(charset::Convert(entry, "GBK", "UTF-8").has_value()) << U(entry);
        ASSERT_EQ(entry, LowerAsciiChars(entry)) << U(entry);
    }
    EXPECT_EQ(gbk::CountChars(entries.front()), 8u);
    EXPECT_EQ(entries.back().size(), 2u);
}

TEST(WordIndex, AgreesWithTheLinearScanOnTextsFromTheWordList) {
    const auto entries = Entries(BuiltInWordList());
    std::mt19937 gen(1234);
    for (int round = 0; round < 40; ++round)
        ExpectSameAtEveryCharacter(BuiltInIndex(), TextFromEntries(entries, gen, 60));
}

TEST(WordIndex, AgreesWithTheLinearScanOnFixtureArticlesAndRandomBytes) {
    for (const char* name : {"article-gbk.txt", "article-utf8.html"}) {
        const std::string text = ReadFixture(name);
        ASSERT_FALSE(text.empty()) << name;
        ExpectSameAtEveryCharacter(BuiltInIndex(), text);
        ExpectSameAtEveryCharacter(BuiltInIndex(), CleanKeywordText(text));
    }
    std::mt19937 gen(99);
    for (int round = 0; round < 20; ++round)
        ExpectSameAtEveryCharacter(BuiltInIndex(), RandomBytes(gen, 300));
}

// Small lists with the awkward cases: one-character and one-byte entries, entries that are
// prefixes of one another in either order, a list without its leading or trailing space,
// doubled spaces, upper case, lead bytes followed by a space.
TEST(WordIndex, AgreesWithTheLinearScanOnAwkwardLists) {
    const std::vector<std::string> lists = {
        " ab a b abc ba ",
        "ab abc a  b ba",
        G(" 中国 中 国人 中国人 国 人 a中 中a "),
        G(" 中国人 中国 中 国 ") + "\x81 \x81" + " a b ",
        " A B Ab ab  ",
        " \r\n a\r b\n ab ",
    };
    const std::vector<std::string> alphabet = {
        "a", "b", "c", "A", " ", "\r", "\n", "\r\n", G("中"), G("国"), G("人"), "\x81", "\xff"};
    std::mt19937 gen(7);
    for (const auto& list : lists) {
        const WordIndex index(list);
        for (int round = 0; round < 300; ++round) {
            std::string text;
            for (std::size_t n = gen() % 12; n > 0; --n) text += alphabet[gen() % alphabet.size()];
            ExpectSameAtEveryCharacter(index, text);
            // The last character alone is the probe there: check a text cut anywhere.
            ExpectSameAtEveryCharacter(index, text.substr(0, text.size() / 2));
        }
    }
}

TEST(WordSegmenter, WordSequenceEqualsTheLinearScanOnLongTexts) {
    const auto entries = Entries(BuiltInWordList());
    std::mt19937 gen(42);
    std::vector<std::string> texts = {ReadFixture("article-gbk.txt"),
                                      ReadFixture("article-utf8.html")};
    texts.push_back(TextFromEntries(entries, gen, 1500));
    const WordIndex& index = BuiltInIndex();
    for (const auto& text : texts) {
        const std::string cleaned = CleanKeywordText(text);
        const auto byIndex = SegmentWords(cleaned, IndexFinder(index));
        const auto byScan = SegmentWords(cleaned, LinearFinder(index.WordList()));
        EXPECT_EQ(byIndex, byScan);
        EXPECT_FALSE(byIndex.empty());
        EXPECT_EQ(RankKeywords(byIndex, 20), RankKeywords(byScan, 20));
    }
}

TEST(WordSegmenter, TakesTheFirstEntryOfTheListAndKeepsTheTextsCase) {
    WordSegmenter segmenter;
    struct Case {
        const char* text;
        std::int32_t count;
        const char* keywords;
    };
    const Case cases[] = {
        // the seven-character entry, not 中华 or 人民 inside it
        {"我爱中华人民共和国。", 5, "中华人民共和国"},
        // two words twice each: the one that first occurred later comes first
        {"经济发展，社会进步，经济发展，社会进步", 5, "进步,社会,发展,经济"},
        {"社会进步社会进步社会经济", 5, "社会,进步,经济"},
        // matched without regard to case, listed as written, counted apart by case
        {"Windows windows WINDOWS windows", 5, "windows,WINDOWS,Windows"},
        // 镕 has the trail byte 'F' (E9 46): it is not lower-cased, so the word is found
        {"朱镕基", 5, "朱镕基"},
        // tags and the listed entities go before the search
        {"<b>经济</b>&nbsp;发展&AMP;<i>经</i>济", 5, "经济,发展"},
        {"中&nbsp;国", 5, "中国"},
        {"经济发展", 1, "发展"},
        {"经济发展", 0, ""},
        {"经济发展", -3, ""},
        {"", 5, ""},
        {"， 。 ！ abc xyz 123", 5, ""},
        // a CR LF pair is one character: it neither joins nor splits words
        {"经济\r\n发展\r经济", 5, "经济,发展"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U(segmenter.ExtractKeywords(G(c.text), c.count)), c.keywords) << c.text;
}

TEST(WordSegmenter, BinaryAndHugeInputGiveAResultWithoutCrashing) {
    WordSegmenter segmenter;
    std::mt19937 gen(5);
    for (int round = 0; round < 10; ++round) segmenter.ExtractKeywords(RandomBytes(gen, 5000), 10);
    const std::string halfChar = G("经济") + "\xbe";  // a lead byte at the very end
    EXPECT_EQ(U(segmenter.ExtractKeywords(halfChar, 5)), "经济");
    EXPECT_EQ(segmenter.ExtractKeywords(std::string(100'000, '<'), 5), "");
}

TEST(WordSegmenter, ConcurrentExtractionsGiveTheSameResultsAsOneAtATime) {
    const std::string text = ReadFixture("article-utf8.html");
    const std::string expected = ExtractKeywords(text, 8);
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> results(4 * 5);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5; ++i) results[t * 5 + i] = ExtractKeywords(text, 8);
        });
    for (auto& thread : threads) thread.join();
    for (const auto& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
