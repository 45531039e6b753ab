#include "article/text_decoding.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/charset.h"
#include "core/platform/files.h"

namespace {

// In-system (GBK) text from a UTF-8 literal.
std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::string Utf16Le(const char16_t* text) {
    std::string out;
    for (; *text; ++text) {
        out.push_back(static_cast<char>(*text & 0xFF));
        out.push_back(static_cast<char>(*text >> 8));
    }
    return out;
}

std::string Utf16Be(const char16_t* text) {
    std::string out;
    for (; *text; ++text) {
        out.push_back(static_cast<char>(*text >> 8));
        out.push_back(static_cast<char>(*text & 0xFF));
    }
    return out;
}

// gzip of `size` repetitions of `fill`, compressed piece by piece so that a large
// expansion needs no buffer of its size.
std::string Gzip(const std::string& fill, std::size_t repeat) {
    z_stream stream{};
    EXPECT_EQ(
        deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY),
        Z_OK);
    std::string out;
    unsigned char chunk[65536];
    for (std::size_t i = 0; i <= repeat; ++i) {
        const bool last = i == repeat;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(fill.data()));
        stream.avail_in = last ? 0 : static_cast<uInt>(fill.size());
        do {
            stream.next_out = chunk;
            stream.avail_out = sizeof chunk;
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(reinterpret_cast<char*>(chunk), sizeof chunk - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

const std::string kBom = "\xEF\xBB\xBF";
const std::string kUtf8Text = "中文 text";  // UTF-8 source literal

struct DecodeCase {
    const char* name;
    std::string bytes;
    FileEncoding encoding;
    std::string text;  // expected, in-system
    FileEncoding detected;
};

TEST(DecodeTextBytes, DetectsAndConverts) {
    const std::string gbk = G("中文");
    const std::vector<DecodeCase> cases = {
        {"utf8 bom auto", kBom + kUtf8Text, FileEncoding::Auto, G("中文 text"), FileEncoding::Utf8},
        {"utf8 bom read as gbk keeps the bom", kBom + kUtf8Text, FileEncoding::Gbk,
         kBom + kUtf8Text, FileEncoding::Gbk},
        {"utf8 bom configured utf8", kBom + kUtf8Text, FileEncoding::Utf8, G("中文 text"),
         FileEncoding::Utf8},
        {"utf8 without bom by byte test", kUtf8Text, FileEncoding::Auto, G("中文 text"),
         FileEncoding::Utf8},
        {"utf16le bom", "\xFF\xFE" + Utf16Le(u"中a"), FileEncoding::Auto, G("中a"),
         FileEncoding::Utf16Le},
        {"utf16be bom", "\xFE\xFF" + Utf16Be(u"中a"), FileEncoding::Auto, G("中a"),
         FileEncoding::Utf16Be},
        {"utf16le without bom loses its first character", Utf16Le(u"中国a"), FileEncoding::Utf16Le,
         G("国a"), FileEncoding::Utf16Le},
        {"utf16be configured", "\xFE\xFF" + Utf16Be(u"国"), FileEncoding::Utf16Be, G("国"),
         FileEncoding::Utf16Be},
        {"gbk auto stays raw", gbk + "ab", FileEncoding::Auto, gbk + "ab", FileEncoding::Gbk},
        {"ascii auto is read as gbk", "plain", FileEncoding::Auto, "plain", FileEncoding::Gbk},
        // C4 A3 is valid UTF-8 (U+0123), so this GBK text is taken as UTF-8.
        {"gbk that walks as utf8", "\xC4\xA3", FileEncoding::Auto,
         *charset::Convert("\xC4\xA3", "UTF-8", "GB18030"), FileEncoding::Utf8},
        {"meta utf8 in double quotes",
         "<html><head><meta charset=\"utf-8\"></head><body>" + kUtf8Text + "</body></html>",
         FileEncoding::Auto,
         G("<html><head><meta charset=\"utf-8\"></head><body>中文 text"
           "</body></html>"),
         FileEncoding::Utf8},
        {"meta big5", "<meta charset=big5>" + Bytes({0xA4, 0xA4, 0xA4, 0xE5}), FileEncoding::Auto,
         "<meta charset=big5>" + gbk, FileEncoding::Big5},
        {"unquoted big5-hkscs counts as big5", "<meta charset=Big5-HKSCS>\xA4\xA4",
         FileEncoding::Auto, G("<meta charset=Big5-HKSCS>中"), FileEncoding::Big5},
        {"quoted big5-hkscs", "<meta charset='Big5-HKSCS'>\xA4\xA4", FileEncoding::Auto,
         G("<meta charset='Big5-HKSCS'>中"), FileEncoding::Big5Hkscs},
        {"a zero byte ends the text", std::string("ab\0cd", 5), FileEncoding::Auto, "ab",
         FileEncoding::Gbk},
        {"a zero byte ends converted text", std::string("中\0文", 7), FileEncoding::Auto, G("中"),
         FileEncoding::Utf8},
        {"converted text starting with a zero character is empty",
         std::string("\xFF\xFE\0\0a\0", 6), FileEncoding::Auto, "", FileEncoding::Utf16Le},
        {"utf8 after a bom starting with a zero byte is empty", kBom + std::string(1, '\0') + "a",
         FileEncoding::Auto, "", FileEncoding::Utf8},
        {"empty", "", FileEncoding::Auto, "", FileEncoding::Gbk},
        {"empty utf16", "", FileEncoding::Utf16Le, "", FileEncoding::Gbk},
        {"gzip of utf8", Gzip(kUtf8Text, 2), FileEncoding::Auto, G("中文 text中文 text"),
         FileEncoding::Utf8},
    };
    for (const auto& c : cases) {
        const DecodedText got = DecodeTextBytes(c.bytes, c.encoding);
        EXPECT_EQ(got.text, c.text) << c.name;
        EXPECT_EQ(got.encoding, c.detected) << c.name;
    }
}

TEST(DecodeTextBytes, MetaCharsetOutsideHeadOrWithSpacesIsIgnored) {
    // With a head, only its meta tags count; a blank around "=" defeats the tests.
    const std::string inBody = "<head><title>x</title></head><meta charset=big5>ab";
    EXPECT_EQ(DecodeTextBytes(inBody, FileEncoding::Auto).encoding, FileEncoding::Gbk);
    EXPECT_EQ(DetectMetaCharset("<META CHARSET = UTF-8>"), 0);
    EXPECT_EQ(DetectMetaCharset("<META http-equiv=x CONTENT=\"text/html; CHARSET=UTF-8\">"), 1);
    EXPECT_EQ(DetectMetaCharset("<meta name=a><meta charset=''big5''>"), 0);
    EXPECT_EQ(DetectMetaCharset("<meta name=a><meta charset=\"big5\">"), 2);
    EXPECT_EQ(DetectMetaCharset("<meta charset=\"Big5-HKSCS\">"), 3);
    EXPECT_EQ(DetectMetaCharset("<meta charset=utf-8"), 0);  // no closing ">"
}

// Bad input: nothing crashes or hangs, and no byte that could be text is thrown away.
TEST(DecodeTextBytes, BadInput) {
    const std::string gbk = G("中文");
    struct BadCase {
        const char* name;
        std::string bytes;
        FileEncoding encoding;
        std::string text;
        FileEncoding detected;
    };
    std::string binary;
    for (int i = 1; i < 256; ++i) binary.push_back(static_cast<char>((i * 37) % 255 + 1));
    // Varied text, so that half of the gzip still holds a good part of it.
    std::string lines;
    for (int i = 0; lines.size() < 200000; ++i)
        lines += "line " + std::to_string(i * 7919 % 100003) + "\n";
    const std::string gz = Gzip(lines, 1);
    const std::vector<BadCase> cases = {
        {"binary without zero bytes is kept raw", binary, FileEncoding::Auto, binary,
         FileEncoding::Gbk},
        {"binary with a zero byte", "\x01\x02\x00\xFF", FileEncoding::Auto, "\x01\x02",
         FileEncoding::Gbk},
        // A page declared UTF-8 that is really GBK: the raw reading keeps every byte.
        // Under a UTF-8 setting it is read as UTF-8 all the same (D6, D0, CE do not
        // decode; C4 at the end is a character cut short).
        {"gbk under a utf8 setting", gbk, FileEncoding::Utf8, "???", FileEncoding::Utf8},
        {"gbk declared utf8 by meta", "<meta charset=utf-8>" + gbk, FileEncoding::Auto,
         "<meta charset=utf-8>" + gbk, FileEncoding::Gbk},
        // Overlong and surrogate forms pass the byte test but are not UTF-8.
        {"overlong form stays raw", "a\xC0\x80\xC3\xA9", FileEncoding::Auto, "a\xC0\x80\xC3\xA9",
         FileEncoding::Gbk},
        {"surrogate form stays raw", "\xED\xA0\x80", FileEncoding::Auto, "\xED\xA0\x80",
         FileEncoding::Gbk},
        // With a byte-order mark the file is UTF-8 for sure; stray bytes are dropped.
        {"invalid utf8 after a bom", kBom + "中\xFF文", FileEncoding::Auto, gbk,
         FileEncoding::Utf8},
        {"utf8 cut inside its last character", std::string("中文").substr(0, 5), FileEncoding::Utf8,
         G("中"), FileEncoding::Utf8},
        {"utf16le of odd length", "\xFF\xFE" + Utf16Le(u"中a") + "\x41", FileEncoding::Auto,
         G("中a"), FileEncoding::Utf16Le},
        {"utf16be of one byte", "\xFE\xFF\x4E", FileEncoding::Auto, "\xFE\xFF\x4E",
         FileEncoding::Gbk},
        {"utf16 unpaired surrogate",
         "\xFF\xFE" + Utf16Le(u"a") + std::string("\x00\xD8", 2) + Utf16Le(u"b"),
         FileEncoding::Auto, "a?b", FileEncoding::Utf16Le},
        {"truncated gzip keeps what it produced", gz.substr(0, gz.size() / 2), FileEncoding::Auto,
         "", FileEncoding::Gbk},  // checked below for its prefix
        {"gzip magic alone", "\x1F\x8B", FileEncoding::Auto, "", FileEncoding::Gbk},
    };
    for (const auto& c : cases) {
        const DecodedText got = DecodeTextBytes(c.bytes, c.encoding);
        if (std::string(c.name).rfind("truncated", 0) == 0) {
            // A gzip cut in half still yields the leading part of the text.
            EXPECT_GT(got.text.size(), 50000u) << c.name;
            EXPECT_LT(got.text.size(), lines.size()) << c.name;
            EXPECT_EQ(lines.compare(0, got.text.size(), got.text), 0) << c.name;
            continue;
        }
        EXPECT_EQ(got.text, c.text) << c.name;
        EXPECT_EQ(got.encoding, c.detected) << c.name;
    }
}

// With UTF-8 chosen and no byte-order mark, bytes that do not decode become "?" and
// everything around them is still read as UTF-8; only detection falls back to GBK.
TEST(DecodeTextBytes, ChosenUtf8ReplacesWhatDoesNotDecode) {
    std::string article;
    for (int i = 0; i < 200; ++i) article += "第" + std::to_string(i) + "段：中文 text\n";
    const std::size_t middle = article.find('\n', article.size() / 2) + 1;
    std::string damaged = article;
    damaged.insert(middle, "\xFF");
    std::string expected = G(article.c_str());
    expected.insert(G(article.substr(0, middle).c_str()).size(), "?");
    const std::vector<DecodeCase> cases = {
        {"one bad byte in a long article", damaged, FileEncoding::Utf8, expected,
         FileEncoding::Utf8},
        {"bad byte between characters", "中\xFF文", FileEncoding::Utf8, G("中?文"),
         FileEncoding::Utf8},
        {"lead byte before ascii", std::string("a\xE4") + "b", FileEncoding::Utf8, "a?b",
         FileEncoding::Utf8},
        {"overlong form", std::string("a\xC0\x80") + "b", FileEncoding::Utf8, "a??b",
         FileEncoding::Utf8},
        {"surrogate form", "\xED\xA0\x80" + kUtf8Text, FileEncoding::Utf8, "???" + G("中文 text"),
         FileEncoding::Utf8},
        {"bad byte and a character cut at the end", "中\xFF" + std::string("文").substr(0, 2),
         FileEncoding::Utf8, G("中?"), FileEncoding::Utf8},
        {"nothing decodes", "\xFF\xFE\xFD", FileEncoding::Utf8, "???", FileEncoding::Utf8},
        {"gzip of damaged utf8", Gzip("中\xFF文", 2), FileEncoding::Utf8, G("中?文中?文"),
         FileEncoding::Utf8},
        // Detection keeps its rules: UTF-8 that does not convert is GBK.
        {"byte test passes an overlong form", "a\xC0\x80\xC3\xA9", FileEncoding::Auto,
         "a\xC0\x80\xC3\xA9", FileEncoding::Gbk},
        {"meta utf8 with a bad byte", "<meta charset=utf-8>中\xFF文", FileEncoding::Auto,
         "<meta charset=utf-8>中\xFF文", FileEncoding::Gbk},
    };
    for (const auto& c : cases) {
        const DecodedText got = DecodeTextBytes(c.bytes, c.encoding);
        EXPECT_EQ(got.text, c.text) << c.name;
        EXPECT_EQ(got.encoding, c.detected) << c.name;
    }
}

// gzip reads a file of several members as their texts one after the other.
TEST(DecodeTextBytes, GzipOfSeveralMembers) {
    const std::string two = Gzip("two", 1);
    const std::vector<DecodeCase> cases = {
        {"two members", Gzip("first ", 1) + Gzip("second", 2), FileEncoding::Auto,
         "first secondsecond", FileEncoding::Gbk},
        {"an empty member between", Gzip("a", 1) + Gzip("", 0) + Gzip("b", 1), FileEncoding::Auto,
         "ab", FileEncoding::Gbk},
        {"utf8 split across members", Gzip("\xE4\xB8", 1) + Gzip("\xAD" + kUtf8Text, 1),
         FileEncoding::Auto, G("中中文 text"), FileEncoding::Utf8},
        {"bytes after a member that are no member", Gzip("kept", 1) + std::string("junk\0\0", 6),
         FileEncoding::Auto, "kept", FileEncoding::Gbk},
        {"a second member of its header only", Gzip("one", 1) + two.substr(0, 10),
         FileEncoding::Auto, "one", FileEncoding::Gbk},
        {"a second member without its trailer", Gzip("one", 1) + two.substr(0, two.size() - 8),
         FileEncoding::Auto, "onetwo", FileEncoding::Gbk},
    };
    for (const auto& c : cases) {
        const DecodedText got = DecodeTextBytes(c.bytes, c.encoding);
        EXPECT_EQ(got.text, c.text) << c.name;
        EXPECT_EQ(got.encoding, c.detected) << c.name;
    }

    // The cap counts the output of all members together.
    const std::size_t mb = std::size_t(1) << 20;
    const std::string twoBombs = Gzip(std::string(mb, 'a'), 60) + Gzip(std::string(mb, 'b'), 8);
    const DecodedText got = DecodeTextBytes(twoBombs, FileEncoding::Auto);
    ASSERT_EQ(got.text.size(), kMaxGunzipBytes);
    EXPECT_EQ(got.text.find_first_not_of('a'), 60 * mb);
    EXPECT_EQ(got.text.find_first_not_of('b', 60 * mb), std::string::npos);
}

TEST(DecodeTextBytes, GzipBombStopsAtTheCap) {
    // 80 MB of text in a gzip of well under a megabyte.
    const std::string bomb = Gzip(std::string(1 << 20, 'a'), 80);
    ASSERT_LT(bomb.size(), 1u << 20);
    const DecodedText got = DecodeTextBytes(bomb, FileEncoding::Auto);
    EXPECT_EQ(got.text.size(), kMaxGunzipBytes);
    EXPECT_EQ(got.text.find_first_not_of('a'), std::string::npos);
}

TEST(LooksLikeUtf8, WalksOneToThreeByteForms) {
    struct Case {
        std::string bytes;
        bool expected;
    };
    const std::string ascii(40, 'x');
    const std::vector<Case> cases = {
        {"", false},
        {ascii, false},                // pure ASCII
        {"\xC3\xA9", true},            // two-byte form
        {ascii + "中" + ascii, true},  // multi-byte after a long ASCII run
        {"\xF0\x9F\x98\x80", false},   // four-byte forms answer no
        {"\xE4\xB8", false},           // cut short at the end
        {ascii + "\xE4\xB8", false},   // cut short after a long run
        {"\x80", false},               // lone continuation byte
        {"中" + ascii + "\xFF" + ascii, false},
        {std::string("\xC3\xA9\0", 3), true},
    };
    for (const auto& c : cases) EXPECT_EQ(LooksLikeUtf8(c.bytes), c.expected) << c.bytes;
}

TEST(ConvertToGb18030, ConvertsAndHandlesUnknownCharsets) {
    EXPECT_EQ(ConvertToGb18030("中", "UTF-8"), G("中"));
    EXPECT_EQ(ConvertToGb18030(Utf16Be(u"中"), "UTF-16BE"), G("中"));
    // A character GBK lacks comes out as a four-byte GB18030 sequence, no BOM added.
    EXPECT_EQ(ConvertToGb18030("😀", "UTF-8").size(), 4u);
    EXPECT_EQ(ConvertToGb18030("abc", "NO-SUCH-CHARSET"), "");
    EXPECT_EQ(ConvertToGb18030("abc", nullptr), "");
    EXPECT_EQ(ConvertToGb18030("a\xFF"
                               "b",
                               "UTF-8"),
              "ab");
}

// A number no encoding has (a batch import stores it unchanged) neither detects nor
// converts: the bytes are read as GBK.
TEST(FileEncodingFromInt, OutOfRangeReadsAsGbk) {
    EXPECT_EQ(FileEncodingFromInt(0), FileEncoding::Auto);
    EXPECT_EQ(FileEncodingFromInt(4), FileEncoding::Utf16Be);
    for (const std::int64_t value : {-1, 7, 100}) {
        const DecodedText got = DecodeTextBytes(kBom + kUtf8Text, FileEncodingFromInt(value));
        EXPECT_EQ(got.text, kBom + kUtf8Text) << value;
        EXPECT_EQ(got.encoding, FileEncoding::Gbk) << value;
    }
}

class ReadArticleTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-decode-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    // GBK path of a file in the fixture folder; name is UTF-8.
    std::string PathOf(const char* name) const { return G((m_dir / name).string().c_str()); }

    std::filesystem::path m_dir;
};

TEST_F(ReadArticleTextTest, ReadsFilesByGbkPath) {
    const std::string path = PathOf("文章一.txt");
    ASSERT_TRUE(platform::WriteWholeFile(path, kBom + kUtf8Text));
    const DecodedText got = ReadArticleText(path, FileEncoding::Auto);
    EXPECT_EQ(got.text, G("中文 text"));
    EXPECT_EQ(got.encoding, FileEncoding::Utf8);

    const std::string empty = PathOf("empty.txt");
    ASSERT_TRUE(platform::WriteWholeFile(empty, ""));
    EXPECT_EQ(ReadArticleText(empty, FileEncoding::Auto).text, "");
    EXPECT_EQ(ReadArticleText(empty, FileEncoding::Auto).encoding, FileEncoding::Gbk);
}

TEST_F(ReadArticleTextTest, ChosenUtf8FileWithABadByte) {
    const std::string path = PathOf("bad.txt");
    ASSERT_TRUE(platform::WriteWholeFile(path, "标题\n正文\x80内容"));
    const DecodedText chosen = ReadArticleText(path, FileEncoding::Utf8);
    EXPECT_EQ(chosen.text, G("标题\n正文?内容"));
    EXPECT_EQ(chosen.encoding, FileEncoding::Utf8);
    // Left to detection, the same file stays the raw bytes.
    EXPECT_EQ(ReadArticleText(path, FileEncoding::Auto).text, "标题\n正文\x80内容");
}

TEST_F(ReadArticleTextTest, UnreadableSourcesGiveEmptyText) {
    EXPECT_EQ(ReadArticleText(PathOf("missing.txt"), FileEncoding::Auto).text, "");
    EXPECT_EQ(ReadArticleText(PathOf(""), FileEncoding::Auto).text, "");  // the folder
    EXPECT_EQ(ReadArticleText("", FileEncoding::Auto).text, "");
}

TEST_F(ReadArticleTextTest, ReadOnlyFileIsStillRead) {
    const std::string path = PathOf("ro.txt");
    ASSERT_TRUE(platform::WriteWholeFile(path, "abc"));
    ASSERT_EQ(::chmod((m_dir / "ro.txt").c_str(), 0444), 0);
    EXPECT_EQ(ReadArticleText(path, FileEncoding::Gbk).text, "abc");
}

}  // namespace

namespace {

// Random bytes under every encoding: never a crash, and never a zero byte in the text.
TEST(DecodeTextBytes, RandomBytesGiveTextWithoutZeroBytes) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<char>(seed >> 24);
    };
    const std::vector<std::string> prefixes = {
        "",         "\xEF\xBB\xBF",         "\xFF\xFE",           "\xFE\xFF",
        "\x1F\x8B", "<meta charset=utf-8>", "<meta charset=big5>"};
    for (int round = 0; round < 300; ++round) {
        std::string bytes = prefixes[round % prefixes.size()];
        const int length = round % 97;
        for (int i = 0; i < length; ++i) bytes.push_back(next());
        for (int e = 0; e <= 6; ++e) {
            const DecodedText got = DecodeTextBytes(bytes, static_cast<FileEncoding>(e));
            EXPECT_EQ(got.text.find('\0'), std::string::npos) << round << " " << e;
            EXPECT_NE(got.encoding, FileEncoding::Auto);
        }
    }
}

}  // namespace
