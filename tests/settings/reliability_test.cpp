#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "settings/settings_file.h"
#include "settings/site_records.h"
#include "settings_test_support.h"

namespace {

SiteList Sites(const std::string& version) {
    SiteList sites(1000);
    for (std::size_t i = 0; i < sites.size(); ++i) {
        sites[i].域名 = "blog" + std::to_string(i) + ".example";
        sites[i].用户 = "admin";
        sites[i].密码 = version + std::to_string(i);
        sites[i].标签数据 = version + "\r\ntag";
    }
    return sites;
}

std::string SaveOver(const std::string& file, const std::string& old, const SiteList& sites) {
    WriteFile(file, old);
    ConfigStore store;
    store.Bind(file);
    SaveAllSettings(store, BasicSettings{}, sites, 0);
    return ReadFile(file);
}

// A global save killed at random moments leaves exactly the old or the new bytes.
TEST(SettingsReliability, KilledGlobalSaveLeavesOldOrNewBytes) {
    TempFolder folder;
    const std::string file = folder / "s.ini";
    const std::string old = SaveOver(file, "", Sites("old"));
    const SiteList next = Sites("new");
    const auto start = std::chrono::steady_clock::now();
    const std::string fresh = SaveOver(file, old, next);
    const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    ASSERT_NE(old, fresh);

    constexpr int kRounds = 20;
    std::mt19937 random(42);
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < kRounds; ++round) {
        WriteFile(file, old);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ConfigStore store;
            store.Bind(file);
            // Saving again writes the same new bytes; repeating makes more kills land
            // while the file is being written.
            for (;;) SaveAllSettings(store, BasicSettings{}, next, 0);
        }
        const double at = 0.4 + 1.2 * std::uniform_real_distribution<double>()(random);
        usleep(static_cast<useconds_t>(static_cast<double>(saveUs) * at));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = ReadFile(file);
        ASSERT_TRUE(now == old || now == fresh)
            << "round " << round << ": torn file of " << now.size() << " bytes";
        (now == old ? sawOld : sawNew)++;
    }
    std::printf("old %d, new %d of %d killed saves\n", sawOld, sawNew, kRounds);
}

}  // namespace
