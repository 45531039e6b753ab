// qingluan-cli decode and pinyin, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

namespace {

class DecodePinyinCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-b-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CliResult Run(const std::vector<std::string>& args) const {
        return RunCli(m_dir, m_dir / "settings.ini", args);
    }

    std::string Write(const char* name, const std::string& bytes) const {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::filesystem::path m_dir;
};

TEST_F(DecodePinyinCli, DecodePrintsEncodingThenText) {
    const std::string bom = Write("bom.txt", "\xEF\xBB\xBF中文\r\nline");
    auto r = Run({"decode", bom});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2\n中文\r\nline");
    r = Run({"decode", bom, "--encoding", "1"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.substr(0, 2), "1\n");
    // GBK bytes of 中文 are printed as UTF-8.
    r = Run({"decode", "--encoding", "0", Write("gbk.txt", "\xD6\xD0\xCE\xC4")});
    EXPECT_EQ(r.out, "1\n中文");
    r = Run({"decode", Write("empty.txt", "")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "1\n");
    r = Run({"decode", Write("文章.txt", "abc")});  // a Chinese file name
    EXPECT_EQ(r.out, "1\nabc");
}

TEST_F(DecodePinyinCli, BadArgumentsFailWithOneLine) {
    const std::string file = Write("a.txt", "abc");
    const std::vector<std::vector<std::string>> cases = {
        {"decode"},
        {"decode", (m_dir / "missing.txt").string()},
        {"decode", m_dir.string()},  // a folder
        {"decode", file, "--encoding", "5"},
        {"decode", file, "--encoding", "-1"},
        {"decode", file, "--encoding", "x"},
        {"decode", file, "--encoding"},
        {"decode", file, file},
        {"pinyin", "--case", "0", "中"},
        {"pinyin", "--case", "12", "中"},
        {"pinyin", "a", "b"},
        {"pinyin", "\xFF"},
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_NE(r.exitCode, 0) << joined;
        EXPECT_EQ(r.out, "") << joined;
        EXPECT_FALSE(r.err.empty()) << joined;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << joined << ": " << r.err;
    }
}

TEST_F(DecodePinyinCli, PinyinOptions) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"pinyin", "中国"}, "Zhong Guo\n"},
        {{"pinyin", "--case", "4", "--initials", "中国"}, "z g\n"},
        {{"pinyin", "--case", "1", "--sep", "", "中国"}, "Zhongguo\n"},
        {{"pinyin", "--sep", "-", "中国 abc"}, "Zhong-Guo- abc\n"},
        {{"pinyin", "--case", "3", "中国\n人"}, "ZHONG GUO\r\nREN\n"},
    };
    for (const auto& c : cases) {
        const auto r = Run(c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

}  // namespace
