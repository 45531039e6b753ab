// articles delete 1 500 --all over sandbox sites that answer every request after a fixed
// latency: the batch works one request at a time, so its wall time is bounded below by
// requests × latency. Prints that bound, the measured time and the CLI's CPU per request.
//   bench_batch_delete [sites=10] [last id=500] [latency ms=20] [articles per site=500]

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/charset.h"
#include "core/platform/paths.h"
#include "emlog/login.h"
#include "emlog/publish.h"
#include "sandbox/sandbox_server.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

extern char** environ;

namespace {

int Arg(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
}

std::filesystem::path CliPath() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "src" /
           "qingluan-cli";
}

}  // namespace

int main(int argc, char** argv) {
    const int siteCount = Arg(argc, argv, 1, 10);
    const int lastId = Arg(argc, argv, 2, 500);
    const int latencyMs = Arg(argc, argv, 3, 20);
    const int articles = Arg(argc, argv, 4, 500);

    sandbox::ServerOptions options;
    for (int i = 0; i < siteCount; ++i) {
        sandbox::SiteOptions site;
        site.prefix = "s" + std::to_string(i);
        options.sites.push_back(site);
    }
    sandbox::SandboxServer server(options);
    if (!server.Start()) return 1;

    const auto folder = std::filesystem::temp_directory_path() /
                        ("qingluan-bench-delete-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    platform::SetDataFolder(folder.string());
    SiteList sites;
    for (int i = 0; i < siteCount; ++i) {
        SiteConfig site;
        site.启用 = true;
        site.域名 = server.Domain(static_cast<std::size_t>(i));
        site.后台 = "admin";
        site.用户 = "admin";
        site.密码 = "admin888";
        // The articles to delete, published before the latency is switched on.
        SiteConfig writer = site;
        if (!Login(writer, true)) return 1;
        for (int n = 1; n <= articles; ++n) Publish(writer, "title " + std::to_string(n), "body");
        sites.push_back(site);
    }
    const auto settings = folder / "settings.ini";
    {
        ConfigStore store;
        store.Bind(*platform::GbkPath(settings));
        SaveSiteRecords(store, sites, 0);
    }

    server.SetLatencyMs(latencyMs);
    const std::string cli = CliPath().string();
    const std::string settingsArg = settings.string();
    const std::string last = std::to_string(lastId);
    std::vector<std::string> args = {cli, "--settings", settingsArg, "articles", "delete",
                                     "1", last,         "--all",     "--yes"};
    std::vector<char*> argvChild;
    for (auto& arg : args) argvChild.push_back(arg.data());
    argvChild.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    const std::int64_t before = server.TotalRequests();
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argvChild.data(), environ) != 0) return 1;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::int64_t requests = server.TotalRequests() - before;
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const double bound = static_cast<double>(requests) * latencyMs / 1000.0;
    std::size_t left = 0;
    for (int i = 0; i < siteCount; ++i) left += server.Posts(static_cast<std::size_t>(i)).size();

    std::printf("articles delete 1 %d --all: %d sites, %d articles each, %d ms latency\n", lastId,
                siteCount, articles, latencyMs);
    std::printf("exit code              %d (articles left: %zu)\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, left);
    std::printf("requests               %lld\n", static_cast<long long>(requests));
    std::printf("latency bound          %.2f s\n", bound);
    std::printf("wall time              %.2f s (%.2f%% above the bound)\n", wall,
                (wall / bound - 1.0) * 100.0);
    std::printf("client CPU             %.3f s, %.1f us per request\n", cpu,
                cpu / static_cast<double>(requests) * 1e6);
    server.Stop();
    std::filesystem::remove_all(folder);
    return 0;
}
