#pragma once

// Sandbox sites for the emlog client tests: one UTF-8 and one GBK site on one loopback
// server, with a Chinese user name and a password full of form separators, and the
// matching SiteConfig records.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/charset.h"
#include "core/platform/paths.h"
#include "emlog/http_client.h"
#include "emlog/site_http.h"
#include "sandbox/sandbox_server.h"
#include "settings/site_config.h"

inline constexpr std::size_t kUtf8Site = 0;
inline constexpr std::size_t kGbkSite = 1;
inline const char* const kSiteUser = "管理员";
inline const char* const kSitePassword = "p&w=1%2B+中";

class EmlogSitesTest : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox::ServerOptions options;
        for (const auto charset : {sandbox::SiteCharset::Utf8, sandbox::SiteCharset::Gbk}) {
            sandbox::SiteOptions site;
            site.prefix = charset == sandbox::SiteCharset::Utf8 ? "u8" : "gbk";
            site.charset = charset;
            site.user = kSiteUser;
            site.password = kSitePassword;
            site.categories = {{1, "技术", "", 0}, {2, "PHP笔记", "", 1}};
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
        m_folder = std::filesystem::temp_directory_path() /
                   ("qingluan-emlog-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        platform::SetDataFolder(m_folder.string());
    }

    void TearDown() override {
        if (m_server) m_server->Stop();
        std::filesystem::remove_all(m_folder);
    }

    sandbox::SandboxServer& Server() { return *m_server; }

    // A record for a sandbox site, with short limits so a fault costs little time.
    SiteConfig Site(std::size_t index) {
        SiteConfig site;
        site.启用 = true;
        site.域名 = Server().Domain(index);
        site.后台 = Server().AdminDir(index);
        site.编码 = index == kUtf8Site ? 0 : 1;
        site.用户 = charset::Utf8ToGbk(kSiteUser);
        site.密码 = charset::Utf8ToGbk(kSitePassword);
        HttpLimits limits;
        limits.completeMs = 5000;
        limits.receiveMs = 3000;
        SiteHttp(site).SetLimits(limits);
        return site;
    }

    std::filesystem::path m_folder;

private:
    std::unique_ptr<sandbox::SandboxServer> m_server;
};
