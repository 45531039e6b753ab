#pragma once

// Sandbox sites for the emlog pro tests: an emlog pro site, one with its sign-in captcha
// on and a 5.x site, with a Chinese user name and a password full of form separators.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "article/post_metadata.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"
#include "emlog/http_client.h"
#include "emlog/login.h"
#include "emlog/site_http.h"
#include "sandbox/sandbox_server.h"
#include "settings/site_config.h"

inline std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

inline constexpr std::size_t kProSite = 0;
inline constexpr std::size_t kCaptchaSite = 1;
inline constexpr std::size_t kClassicSite = 2;
inline const char* const kProUser = "管理员";
inline const char* const kProPassword = "p&w=1%2B+中";

class ProSitesTest : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox::ServerOptions options;
        for (const std::size_t index : {kProSite, kCaptchaSite, kClassicSite}) {
            sandbox::SiteOptions site;
            site.prefix = "site" + std::to_string(index);
            site.user = kProUser;
            site.password = kProPassword;
            site.pro = index != kClassicSite;
            site.loginCaptcha = index == kCaptchaSite;
            site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}};
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
        m_folder = std::filesystem::temp_directory_path() /
                   ("qingluan-pro-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        platform::SetDataFolder(m_folder.string());
    }

    void TearDown() override {
        m_server->Stop();
        std::filesystem::remove_all(m_folder);
    }

    sandbox::SandboxServer& Server() { return *m_server; }

    SiteConfig Site(std::size_t index, std::int32_t charsetSetting = 0) {
        SiteConfig site;
        site.启用 = true;
        site.域名 = Server().Domain(index);
        site.后台 = Server().AdminDir(index);
        site.编码 = charsetSetting;
        site.用户 = Gbk(kProUser);
        site.密码 = Gbk(kProPassword);
        HttpLimits limits;
        limits.completeMs = 5000;
        limits.receiveMs = 3000;
        SiteHttp(site).SetLimits(limits);
        return site;
    }

    // Logged in, with tags, excerpt and alias that need encoding, category 2 chosen.
    SiteConfig LoggedInSite(std::size_t index, std::int32_t charsetSetting = 0) {
        SiteConfig site = Site(index, charsetSetting);
        site.标签数据 = Gbk("C&C\r\n中文标签");
        site.标签数1 = site.标签数2 = 2;
        site.内容摘要数1 = site.内容摘要数2 = 3;
        site.别名类型 = 6;
        site.别名左边 = Gbk("a&b=");
        site.别名右边 = Gbk("别名");
        site.别名起始值 = 900;
        site.别名递增值 = 1;
        site.首页置顶 = true;
        site.允许评论 = true;
        PrepareTagList(site);
        site.prep.AliasCounter = site.别名起始值;
        site.prep.chosenCategory = 2;
        EXPECT_EQ(TryLogin(site, false), LoginResult::Ok);
        return site;
    }

    std::string FailurePage() {
        return platform::ReadWholeFile(LoginFailurePagePath()).value_or("(none)");
    }

private:
    std::unique_ptr<sandbox::SandboxServer> m_server;
    std::filesystem::path m_folder;
};
