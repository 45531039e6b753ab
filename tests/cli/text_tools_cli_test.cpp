// qingluan-cli pinyin (clean-up, standard input) and random-text, run as a user runs them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace {

std::vector<std::string> Lines(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find('\n', start);
        lines.push_back(out.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

// Characters of a UTF-8 text (the hanzi are three bytes each).
std::vector<std::string> Chars(const std::string& utf8) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.push_back(utf8.substr(i, n));
        i += n;
    }
    return out;
}

class TextToolsCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-t-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Standard input is always a file, so no case can wait on a terminal.
    CliResult Run(std::vector<std::string> args, const std::string& input = "") const {
        const auto in = m_dir / "stdin";
        std::ofstream(in, std::ios::binary) << input;
        std::string command = ShellQuote(QINGLUAN_BINARY_DIR "/src/qingluan-cli");
        for (const auto& arg : args) command += " " + ShellQuote(arg);
        command += " <" + ShellQuote(in.string()) + " >" + ShellQuote((m_dir / "out").string()) +
                   " 2>" + ShellQuote((m_dir / "err").string());
        const int status = std::system(command.c_str());
        CliResult r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadAll(m_dir / "out");
        r.err = ReadAll(m_dir / "err");
        return r;
    }

    std::filesystem::path m_dir;
};

TEST_F(TextToolsCli, PinyinCleanUpAndStandardInput) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"pinyin", "--clean", "中国"}, "", "ZhongGuo\n"},
        {{"pinyin", "--clean", "--keep-spaces", "中国，银行!"}, "", "Zhong Guo  Yin Hang \n"},
        {{"pinyin", "--clean", "--keep-newlines", "--case", "4", "--initials", "重庆\n长城"},
         "",
         "cq\r\ncc\n"},
        {{"pinyin", "--clean", "重庆\n長城"}, "", "ChongQingCheng\n"},  // 長 is no GB2312 hanzi
        {{"pinyin"}, "中国\n", "Zhong Guo\n"},  // the final line end ends the line
        {{"pinyin", "--clean"}, "银行\r\n行长\r\n", "YinHangHangZhang\n"},
        {{"pinyin", "--clean", "--keep-newlines"}, "银行\r\n行长", "YinHang\r\nHangZhang\n"},
        {{"pinyin"}, "", "\n"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args, c.input);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back() << " / " << c.input;
    }
    const auto bad = Run({"pinyin", "--keep-spaces", "中国"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, "");
}

TEST_F(TextToolsCli, RandomHanziGroups) {
    auto r = Run({"random-text", "hanzi"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 100u);  // the window's defaults: 100 groups of 3 to 5
    for (const auto& line : lines) {
        EXPECT_GE(Chars(line).size(), 3u);
        EXPECT_LE(Chars(line).size(), 5u);
    }

    r = Run({"random-text", "hanzi", "--table", "2", "--length", "6-2", "--groups", "40"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 40u);
    std::set<std::size_t> lengths;
    for (const auto& line : lines) lengths.insert(Chars(line).size());
    EXPECT_EQ(*lengths.begin(), 2u);
    EXPECT_EQ(*lengths.rbegin(), 6u);

    r = Run({"random-text", "hanzi", "--length", "0", "--groups", "3", "--traditional"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const auto& line : Lines(r.out)) EXPECT_EQ(Chars(line).size(), 8u);

    r = Run({"random-text", "hanzi", "--groups", "0"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(TextToolsCli, RandomAlnumGroups) {
    auto r = Run({"random-text", "alnum", "--groups", "50", "--length", "10"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string all;
    for (const auto& line : Lines(r.out)) {
        EXPECT_EQ(line.size(), 10u);
        all += line;
    }
    EXPECT_EQ(all.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string::npos);
    EXPECT_NE(all.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    EXPECT_NE(all.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);

    r = Run({"random-text", "alnum", "--digits", "--groups", "20"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.find_first_not_of("0123456789\n"), std::string::npos);

    r = Run({"random-text", "alnum", "--lower", "--full-width", "--length", "4", "--groups", "1"});
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_EQ(Chars(Lines(r.out).at(0)).size(), 4u);
    for (const auto& c : Chars(Lines(r.out).at(0))) {
        EXPECT_GE(c, "ａ");  // U+FF41 … U+FF5A, full-width a to z
        EXPECT_LE(c, "ｚ");
    }
}

TEST_F(TextToolsCli, RandomTextBadArgumentsFailWithOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"random-text", "hanzi", "--table", "3"},
        {"random-text", "hanzi", "--length", "3-x"},
        {"random-text", "hanzi", "--length", "-3"},
        {"random-text", "hanzi", "--length", ""},
        {"random-text", "alnum", "--groups", "-1"},
        {"random-text", "alnum", "--groups", "many"},
        {"random-text", "words"},
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        EXPECT_NE(r.exitCode, 0) << args.back();
        EXPECT_EQ(r.out, "") << args.back();
        EXPECT_FALSE(r.err.empty()) << args.back();
    }
}

}  // namespace
