// The command line itself: help, version, and how misspelt, missing or surplus arguments
// are reported, for every command.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "core/charset.h"
#include "core/platform/paths.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

std::string Joined(const std::vector<std::string>& args) {
    std::string out;
    for (const auto& arg : args) out += (out.empty() ? "" : " ") + arg;
    return out;
}

class CommandLineCli : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("qingluan-cli-f-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_file = m_dir / "settings.ini";
        m_article = (m_dir / "a.txt").string();
        std::ofstream(m_article, std::ios::binary) << "abc";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Two sites on loopback ports where nothing listens, should anything connect.
    void WriteSites() const {
        SiteList sites(2);
        sites[0].域名 = "127.0.0.1:1";
        sites[1].域名 = "127.0.0.1:2";
        ConfigStore store;
        ASSERT_TRUE(store.Bind(*platform::GbkPath(m_file)));
        ASSERT_TRUE(SaveSiteRecords(store, sites, -1));
    }

    CliResult Run(const std::vector<std::string>& args) const {
        return RunCli(m_dir, m_file, args);
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_file;
    std::string m_article;
};

TEST_F(CommandLineCli, EveryCommandHasHelpThatNamesItsArguments) {
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> names;  // options, positionals or subcommands it shows
    };
    const std::vector<Case> cases = {
        {{},
         {"--settings", "--version", "decode", "keywords", "login", "pinyin", "preview", "publish",
          "run", "scan", "settings", "sites"}},
        {{"decode"}, {"FILE", "--encoding"}},
        {{"keywords"}, {"FILE", "--count"}},
        {{"login"}, {"--site"}},
        {{"pinyin"}, {"TEXT", "--case", "--initials", "--sep"}},
        {{"preview"}, {"FILE", "--site"}},
        {{"publish"}, {"FILE", "--site"}},
        {{"run"}, {"--mode", "--scan", "--sites", "--no-shutdown"}},
        {{"scan"}, {"--site", "--variant"}},
        {{"settings"}, {"init", "resave", "set"}},
        {{"settings", "init"}, {}},
        {{"settings", "resave"}, {}},
        {{"settings", "set"}, {"KEY=VALUE"}},
        {{"sites"}, {"add", "disable", "enable", "list", "move", "remove", "set", "show"}},
        {{"sites", "add"}, {"DOMAIN", "USER", "PASSWORD", "KEY=VALUE"}},
        {{"sites", "disable"}, {"N"}},
        {{"sites", "enable"}, {"N"}},
        {{"sites", "list"}, {"--format"}},
        {{"sites", "move"}, {"N", "DIRECTION"}},
        {{"sites", "remove"}, {"N"}},
        {{"sites", "set"}, {"N", "KEY=VALUE"}},
        {{"sites", "show"}, {"N", "--format"}},
    };
    WriteSites();
    const std::string before = ReadAll(m_file);
    for (const auto& c : cases) {
        for (const char* flag : {"--help", "-h"}) {
            std::vector<std::string> args = c.words;
            args.push_back(flag);
            const auto result = Run(args);
            const std::string what = Joined(args);
            EXPECT_EQ(result.exitCode, 0) << what << ": " << result.err;
            EXPECT_EQ(result.err, "") << what;
            const std::string usage =
                "Usage: qingluan-cli" + (c.words.empty() ? "" : " " + Joined(c.words)) + " ";
            EXPECT_NE(result.out.find(usage), std::string::npos) << what << ":\n" << result.out;
            for (const auto& name : c.names)
                EXPECT_NE(result.out.find("  " + name + " "), std::string::npos)
                    << what << " lacks " << name << ":\n"
                    << result.out;
        }
    }
    // Help only shows: "settings resave --help" did not rewrite the file.
    EXPECT_EQ(ReadAll(m_file), before);
}

// Required options and positionals do not stand in the way of help.
TEST_F(CommandLineCli, HelpNeedsNeitherArgumentsNorASettingsFile) {
    const auto result = RunCliArgs(m_dir, {"publish", "--help"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("--site"), std::string::npos);
}

TEST_F(CommandLineCli, VersionAndNoCommand) {
    auto result = RunCliArgs(m_dir, {"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(std::regex_match(result.out, std::regex("qingluan-cli [0-9]+(\\.[0-9]+)*\n")))
        << result.out;
    EXPECT_EQ(result.err, "");

    // As before: no command shows the help, as a usage error.
    result = Run({});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("Usage: qingluan-cli"), std::string::npos) << result.out;
}

// Each mistake: exit 2, nothing on stdout, one line on stderr naming what was wrong.
TEST_F(CommandLineCli, MistakesAreNamedOnOneLine) {
    WriteSites();
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const std::vector<Case> cases = {
        // unknown options, before, inside and after the command words
        {{"--verbose", "sites", "list"}, "unknown option --verbose"},
        {{"sites", "--all", "list"}, "--all"},
        {{"scan", "--site", "1", "--varient", "pattern"}, "unknown option --varient"},
        // a misspelt option is named, not the required one it leaves missing
        {{"scan", "--sites", "1"}, "unknown option --sites"},
        {{"run", "--no-shutdwn"}, "unknown option --no-shutdwn"},
        {{"pinyin", "-x", "中"}, "-x"},
        // missing values
        {{"scan", "--site"}, "--site"},
        {{"decode", m_article, "--encoding"}, "--encoding"},
        {{"pinyin", "中", "--sep"}, "--sep"},
        {{"keywords", m_article, "--count"}, "--count"},
        {{"sites", "list", "--settings"}, "--settings"},
        // missing arguments
        {{"scan"}, "--site"},
        {{"preview", "--site", "1"}, "FILE"},
        {{"sites", "show"}, "N"},
        // extra arguments, also ones that are other commands' names
        {{"sites", "list", "extra"}, "unexpected argument extra"},
        {{"settings", "resave", "now"}, "unexpected argument now"},
        {{"scan", "--site", "1", "run"}, "unexpected argument run"},
        {{"sites", "list", "show"}, "unexpected argument show"},
        {{"decode", m_article, m_article}, "unexpected argument " + m_article},
        {{"run", "extra"}, "unexpected argument extra"},
        // unknown and unfinished commands
        {{"sites", "lsit"}, "unknown command: sites lsit"},
        {{"resave"}, "unknown command: resave"},
        {{"sites"},
         "sites needs one of: add, disable, enable, export, import, import-file, list, move, "
         "remove, set, show"},
        // an option given twice
        {{"scan", "--site", "1", "--site", "2"}, "--site"},
    };
    for (const auto& c : cases) {
        const auto result = Run(c.args);
        const std::string what = Joined(c.args);
        EXPECT_EQ(result.exitCode, 2) << what;
        EXPECT_EQ(result.out, "") << what;
        EXPECT_EQ(result.err.rfind("qingluan-cli: ", 0), 0u) << what << ": " << result.err;
        EXPECT_NE(result.err.find(c.named), std::string::npos) << what << ": " << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << what << ": " << result.err;
    }
}

TEST_F(CommandLineCli, SettingsMayComeAnywhere) {
    WriteSites();
    const std::string file = m_file.string();
    const auto expected = Run({"sites", "list"});
    ASSERT_EQ(expected.exitCode, 0) << expected.err;
    ASSERT_EQ(expected.out, "1 假 127.0.0.1:1()\n2 假 127.0.0.1:2()\n");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"sites", "list", "--settings", file},
             {"sites", "--settings", file, "list"},
             {"sites", "list", "--settings=" + file},
         }) {
        const auto result = RunCliArgs(m_dir, args);
        EXPECT_EQ(result.exitCode, 0) << Joined(args) << ": " << result.err;
        EXPECT_EQ(result.out, expected.out) << Joined(args);
    }
    const auto show = RunCliArgs(m_dir, {"sites", "show", "2", "--settings", file});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_NE(show.out.find("\n域名=127.0.0.1:2\n"), std::string::npos) << show.out;

    // The file named after the command is the one used: a missing one is reported.
    const auto missing =
        RunCliArgs(m_dir, {"sites", "list", "--settings", (m_dir / "none.ini").string()});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("none.ini"), std::string::npos) << missing.err;
}

// Positionals take words that happen to name commands; "--" lets one start with "-".
TEST_F(CommandLineCli, PositionalsAreNotMistakenForCommandsOrOptions) {
    for (const auto& [args, out] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"pinyin", "run"}, "run\n"},
             {{"pinyin", "--sep", "-", "sites"}, "sites\n"},
             {{"pinyin", "--", "-x"}, "-x\n"},
             {{"pinyin", "--sep", "", "--", "--中国"}, "--ZhongGuo\n"},
         }) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 0) << Joined(args) << ": " << result.err;
        EXPECT_EQ(result.out, out) << Joined(args);
    }
}

}  // namespace
