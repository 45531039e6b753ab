#pragma once

// The main window and the batch tools window in memory over sandbox sites: the SiteList
// in the site list box, its editor, the batch view with its design values.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/charset.h"
#include "core/events.h"
#include "core/platform/paths.h"
#include "sandbox/sandbox_server.h"
#include "settings/memory_site_view.h"
#include "settings/site_editor.h"
#include "tools/batch_tools.h"
#include "tools/memory_batch_tools_view.h"

inline std::string G(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}

inline std::string U(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}

class BatchToolsTest : public ::testing::Test {
protected:
    // Three sandbox sites, the second a GBK one; each starts with one top-level category 12.
    void SetUp() override {
        // Also a fresh start inside a test (Restart): nothing of the last one stays.
        sites.clear();
        view = MemorySiteView();
        batch = MemoryBatchToolsView();
        state = BatchState();
        sandbox::ServerOptions options;
        for (const char* prefix : {"s1", "s2", "s3"}) {
            sandbox::SiteOptions site;
            site.prefix = prefix;
            site.charset = std::string(prefix) == "s2" ? sandbox::SiteCharset::Gbk
                                                       : sandbox::SiteCharset::Utf8;
            site.categories = {{12, "父类", "fu", 0}};
            site.pro = thirdSitePro && std::string(prefix) == "s3";
            options.sites.push_back(site);
        }
        m_server = std::make_unique<sandbox::SandboxServer>(options);
        ASSERT_TRUE(m_server->Start());
        m_folder = std::filesystem::temp_directory_path() /
                   ("qingluan-tools-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        platform::SetDataFolder(m_folder.string());
        for (std::size_t i = 0; i < m_server->SiteCount(); ++i) sites.push_back(Record(i));
        editor = std::make_unique<SiteEditor>(sites, view, nullptr, [this] { return !runActive; });
        editor->RefreshRows();
        view.SetCaption(G("按钮读取分类列表"), G("读取分类列表"));
        tools =
            std::make_unique<BatchTools>(*editor, view, batch, state, [this] { return runActive; });
        HttpLimits limits;
        limits.completeMs = 5000;
        limits.receiveMs = 3000;
        tools->Categories().SetSessionLimits(limits);
    }

    void TearDown() override {
        SetPumpEventsHook({});
        m_server->Stop();
        std::filesystem::remove_all(m_folder);
    }

    void Restart() {
        TearDown();
        SetUp();
    }

    SiteConfig Record(std::size_t index) const {
        SiteConfig site = DesignSiteValues();
        site.启用 = true;
        site.域名 = m_server->Domain(index);
        site.后台 = m_server->AdminDir(index);
        site.编码 = index == 1 ? 1 : 0;
        site.用户 = "admin";
        site.密码 = "admin888";
        return site;
    }

    sandbox::SandboxServer& Server() { return *m_server; }

    // Site `index`'s record and row replaced by `site`.
    void Replace(std::size_t index, SiteConfig site) {
        sites[index] = std::move(site);
        editor->RefreshRows();
    }

    std::vector<std::string> CategoryNames(std::size_t index) const {
        std::vector<std::string> names;
        for (const auto& c : m_server->Categories(index)) names.push_back(c.name);
        return names;
    }

    std::int64_t Requests() const { return m_server->TotalRequests(); }

    // The report of the last message box, in UTF-8.
    std::string LastMessage() const {
        return batch.messages.empty() ? "" : U(batch.messages.back().text);
    }
    std::string LastTitle() const {
        return batch.messages.empty() ? "" : U(batch.messages.back().title);
    }

    bool thirdSitePro = false;  // set before SetUp: site s3 is an emlog pro site
    SiteList sites;
    MemorySiteView view;
    MemoryBatchToolsView batch;
    BatchState state;
    bool runActive = false;
    std::unique_ptr<SiteEditor> editor;
    std::unique_ptr<BatchTools> tools;
    std::filesystem::path m_folder;

private:
    std::unique_ptr<sandbox::SandboxServer> m_server;
};
