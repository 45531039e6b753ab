// A site-group update of 20 sites × 50 articles against the sandbox, 20 ms latency per
// request, no pause between articles, at 同时站点数 1, 5 and 20: wall time against the
// ideal (requests × latency ÷ concurrency), client CPU per article, and a check that every
// article arrived exactly once.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench_run.h"
#include "core/charset.h"
#include "core/clock.h"
#include "core/platform/paths.h"
#include "core/platform/shutdown.h"
#include "run/headless_run_host.h"
#include "run/run_controller.h"
#include "run/shutdown_countdown.h"
#include "sandbox/sandbox_server.h"

namespace {

constexpr int kSites = 20;
constexpr int kArticles = 50;
constexpr int kLatencyMs = 20;

}  // namespace

int main() {
    setenv("QINGLUAN_NO_SHUTDOWN", "1", 1);
    const auto root = std::filesystem::temp_directory_path() /
                      ("qingluan-bench-run-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    platform::SetDataFolder(*platform::GbkPath(root));
    std::printf("run_group: %d sites x %d articles, %d ms per request, 间隔秒1 0\n", kSites,
                kArticles, kLatencyMs);
    // The controller starts sites 100 ms apart (its fixed look for a free slot), so the
    // first wave of c sites cannot all begin before (c - 1) x 100 ms: "floor" adds that.
    std::printf("%-6s %9s %9s %7s %9s %7s %9s %11s %s\n", "同时", "wall ms", "ideal ms", "ratio",
                "floor ms", "ratio", "requests", "CPU us/art", "arrived once");
    int failures = 0;
    for (const int concurrency : {1, 5, 20}) {
        sandbox::ServerOptions options;
        options.latencyMs = kLatencyMs;
        for (int s = 0; s < kSites; ++s) {
            sandbox::SiteOptions site;
            site.prefix = "b" + std::to_string(s + 1);
            site.categories = {{1, "技术", "", 0}};
            options.sites.push_back(site);
        }
        sandbox::SandboxServer server(options);
        if (!server.Start()) return std::fprintf(stderr, "sandbox did not start\n"), 1;
        SiteList sites;
        for (int s = 0; s < kSites; ++s) {
            SiteConfig site;
            site.启用 = true;
            site.域名 = server.Domain(static_cast<std::size_t>(s));
            site.后台 = server.AdminDir(static_cast<std::size_t>(s));
            site.用户 = "admin";
            site.密码 = "admin888";
            site.分类ID = "1";
            site.文件过滤 = "*.txt";
            const auto folder = root / ("c" + std::to_string(concurrency)) / std::to_string(s + 1);
            std::filesystem::create_directories(folder);
            for (int a = 1; a <= kArticles; ++a) {
                const std::string title =
                    "站点" + std::to_string(s + 1) + "文章" + std::to_string(a);
                std::ofstream(folder / (title + ".txt"), std::ios::binary)
                    << charset::Utf8ToGbk("这是" + title + "的正文，用来测量整组更新的速度。\r\n");
            }
            site.文章目录 = *platform::GbkPath(folder);
            sites.push_back(std::move(site));
        }
        QuietHost host(sites, std::to_string(concurrency));
        RunController controller(sites, host);
        const std::int64_t before = server.TotalRequests();
        const double cpu0 = CpuSeconds();
        const std::int64_t t0 = clock_::TickMs();
        controller.StartButtonClicked();
        const std::int64_t wall = clock_::TickMs() - t0;
        const double cpu = CpuSeconds() - cpu0;
        const std::int64_t requests = server.TotalRequests() - before;
        const double ideal = static_cast<double>(requests) * kLatencyMs / concurrency;
        bool once = true;
        for (int s = 0; s < kSites; ++s) {
            std::map<std::string, int> seen;
            for (const auto& post : server.Posts(static_cast<std::size_t>(s)))
                seen[post.title] += post.submissions;
            once = once && seen.size() == static_cast<std::size_t>(kArticles);
            for (const auto& [title, n] : seen) once = once && n == 1;
        }
        failures += !once;
        const double floor = ideal + (concurrency - 1) * 100.0;
        std::printf("%-6d %9lld %9.0f %7.3f %9.0f %7.3f %9lld %11.0f %s\n", concurrency,
                    static_cast<long long>(wall), ideal, static_cast<double>(wall) / ideal, floor,
                    static_cast<double>(wall) / floor, static_cast<long long>(requests),
                    cpu * 1e6 / (kSites * kArticles), once ? "yes" : "NO");
        server.Stop();
    }
    std::filesystem::remove_all(root);
    return failures ? 1 : 0;
}
