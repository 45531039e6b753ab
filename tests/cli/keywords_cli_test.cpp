// qingluan-cli keywords, run as a user runs it.

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

class KeywordsCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-d-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CliResult Run(std::vector<std::string> args) const {
        args.insert(args.begin(), "keywords");
        return RunCli(m_dir, m_dir / "settings.ini", args);
    }

    std::filesystem::path m_dir;
};

const std::string kFixtures = QINGLUAN_TEST_DATA "/keywords/";

TEST_F(KeywordsCli, PrintsTheMostFrequentWordsOfGbkAndUtf8FilesInUtf8) {
    auto result = Run({kFixtures + "article-gbk.txt"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "需要,问题,我们,发展,社会\n");
    result = Run({kFixtures + "article-utf8.html", "--count", "3"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "公园,城市,春天\n");
}

TEST_F(KeywordsCli, FileWithoutWordsGivesAnEmptyLine) {
    std::ofstream(m_dir / "empty.txt") << "1234 !!! ???";
    const auto result = Run({(m_dir / "empty.txt").string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\n");
}

TEST_F(KeywordsCli, RejectsBadArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {(m_dir / "missing.txt").string()},
        {kFixtures + "article-gbk.txt", "--count", "0"},
        {kFixtures + "article-gbk.txt", "--count", "-2"},
        {kFixtures + "article-gbk.txt", "--count", "many"},
        {kFixtures + "article-gbk.txt", kFixtures + "article-utf8.html"},
    };
    for (const auto& args : cases) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args.back());
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("qingluan-cli: "), std::string::npos);
    }
}

}  // namespace
