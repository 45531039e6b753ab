// A site-group update at scale: 1000 sites × 2 articles at 同时站点数 50 against the
// sandbox, 20 ms latency per request, no pause between articles. Prints the peak memory
// (VmHWM) and the wall time against the ideal plus the controller's start interval, with
// the peaks of threads, descriptors and running jobs that explain them.
//
//   bench_run_scale [sites] [--in-process]
//
// By default the sandbox runs in a forked child, so the client's VmHWM is the client's
// alone and the sandbox reports its own; --in-process serves from the same process, as
// the other run benchmarks do, and its VmHWM includes the sandbox.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "bench_run.h"
#include "core/charset.h"
#include "core/clock.h"
#include "core/platform/paths.h"
#include "run/headless_run_host.h"
#include "run/run_controller.h"
#include "sandbox/sandbox_server.h"

namespace {

constexpr int kArticles = 2;
constexpr int kConcurrency = 50;
constexpr int kLatencyMs = 20;
// The controller looks for a free slot every 100 ms, so sites start at least that far apart.
constexpr int kStartIntervalMs = 100;
// Per site: login (2 requests) and each article's publish (2 requests).
constexpr int kRequestsPerSite = 2 + 2 * kArticles;

// A number field of /proc/self/status (kB for the Vm fields).
long StatusField(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    return -1;
}

int OpenDescriptors() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int n = 0;
    while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') ++n;
    closedir(dir);
    return n - 1;  // the listing's own descriptor
}

// Samples the process every 20 ms (descriptors every 100 ms: listing thousands costs) while
// it lives, and keeps its own CPU time apart from the figures.
class Sampler {
public:
    explicit Sampler(const std::atomic<std::int32_t>* runningJobs = nullptr)
        : m_jobs(runningJobs), m_thread([this] { Loop(); }) {}
    ~Sampler() { Stop(); }
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    // Read after Stop().
    long threads = 0, fds = 0, jobs = 0;
    double cpuSeconds = 0;

private:
    void Loop() {
        while (!m_stop) {
            threads = std::max(threads, StatusField("Threads"));
            if (++m_ticks % 5 == 0) fds = std::max(fds, static_cast<long>(OpenDescriptors()));
            if (m_jobs) jobs = std::max(jobs, static_cast<long>(m_jobs->load()));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        timespec own{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &own);
        cpuSeconds = static_cast<double>(own.tv_sec) + static_cast<double>(own.tv_nsec) / 1e9;
    }
    const std::atomic<std::int32_t>* m_jobs;
    long m_ticks = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

std::unique_ptr<sandbox::SandboxServer> MakeServer(int sites) {
    sandbox::ServerOptions options;
    options.latencyMs = kLatencyMs;
    for (int s = 0; s < sites; ++s) {
        sandbox::SiteOptions site;
        site.prefix = "s" + std::to_string(s + 1);
        site.categories = {{1, "技术", "", 0}};
        options.sites.push_back(site);
    }
    return std::make_unique<sandbox::SandboxServer>(options);
}

// Every site holds each of its articles exactly once.
bool ArrivedOnce(const sandbox::SandboxServer& server, int sites) {
    for (int s = 0; s < sites; ++s) {
        std::map<std::string, int> seen;
        for (const auto& post : server.Posts(static_cast<std::size_t>(s)))
            seen[post.title] += post.submissions;
        if (seen.size() != static_cast<std::size_t>(kArticles)) return false;
        for (const auto& [title, n] : seen)
            if (n != 1) return false;
    }
    return true;
}

struct ServerReport {
    long hwmKb = -1, threads = -1, fds = -1;
    long long requests = -1;
    int once = 0;
};

// The forked sandbox: tells its port, serves until a byte arrives, then reports.
[[noreturn]] void ServeInChild(int sites, int toParent, int fromParent) {
    auto server = MakeServer(sites);
    std::uint16_t port = 0;
    {
        Sampler sampler;
        if (server->Start()) port = server->port();
        if (write(toParent, &port, sizeof port) != sizeof port || port == 0) _exit(1);
        char byte = 0;
        [[maybe_unused]] const ssize_t ignored = read(fromParent, &byte, 1);
        ServerReport report;
        sampler.Stop();
        report.threads = sampler.threads;
        report.fds = sampler.fds;
        report.requests = server->TotalRequests();
        report.once = ArrivedOnce(*server, sites);
        server->Stop();
        report.hwmKb = StatusField("VmHWM");
        if (write(toParent, &report, sizeof report) != sizeof report) _exit(1);
    }
    _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    int sites = 1000;
    bool inProcess = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--in-process") == 0)
            inProcess = true;
        else if (std::atoi(argv[i]) > 0)
            sites = std::atoi(argv[i]);
    }
    setenv("QINGLUAN_NO_SHUTDOWN", "1", 1);

    // Forked before any thread exists, so the child is a clean copy.
    int toParent[2] = {-1, -1}, toChild[2] = {-1, -1};
    pid_t child = -1;
    std::unique_ptr<sandbox::SandboxServer> server;
    std::uint16_t port = 0;
    if (inProcess) {
        server = MakeServer(sites);
        if (!server->Start()) return std::fprintf(stderr, "sandbox did not start\n"), 1;
        port = server->port();
    } else {
        if (pipe(toParent) != 0 || pipe(toChild) != 0) return std::perror("pipe"), 1;
        child = fork();
        if (child < 0) return std::perror("fork"), 1;
        if (child == 0) {
            close(toParent[0]);
            close(toChild[1]);
            ServeInChild(sites, toParent[1], toChild[0]);
        }
        close(toParent[1]);
        close(toChild[0]);
        if (read(toParent[0], &port, sizeof port) != sizeof port || port == 0)
            return std::fprintf(stderr, "sandbox did not start\n"), 1;
    }
    const long baseKb = StatusField("VmRSS");

    const auto root = std::filesystem::temp_directory_path() /
                      ("qingluan-bench-scale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    platform::SetDataFolder(*platform::GbkPath(root));
    SiteList list;
    for (int s = 0; s < sites; ++s) {
        SiteConfig site;
        site.启用 = true;
        site.域名 = "127.0.0.1:" + std::to_string(port) + "/s" + std::to_string(s + 1);
        site.后台 = "admin";
        site.用户 = "admin";
        site.密码 = "admin888";
        site.分类ID = "1";
        site.文件过滤 = "*.txt";
        const auto folder = root / std::to_string(s + 1);
        std::filesystem::create_directories(folder);
        for (int a = 1; a <= kArticles; ++a) {
            const std::string title = "站点" + std::to_string(s + 1) + "文章" + std::to_string(a);
            std::ofstream(folder / (title + ".txt"), std::ios::binary)
                << charset::Utf8ToGbk("这是" + title + "的正文，用来测量大站群更新的开销。\r\n");
        }
        site.文章目录 = *platform::GbkPath(folder);
        list.push_back(std::move(site));
    }

    QuietHost host(list, std::to_string(kConcurrency));
    RunController controller(list, host);
    long clientThreads = 0, clientFds = 0, peakJobs = 0;
    std::int64_t wall = 0;
    double cpu = 0;
    {
        Sampler sampler(&controller.State().runningJobs);
        const double cpu0 = CpuSeconds();
        const std::int64_t t0 = clock_::TickMs();
        controller.StartButtonClicked();
        wall = clock_::TickMs() - t0;
        sampler.Stop();
        cpu = CpuSeconds() - cpu0 - sampler.cpuSeconds;
        clientThreads = sampler.threads;
        clientFds = sampler.fds;
        peakJobs = sampler.jobs;
    }
    const long clientHwmKb = StatusField("VmHWM");

    ServerReport report;
    if (inProcess) {
        report.requests = server->TotalRequests();
        report.once = ArrivedOnce(*server, sites);
        server->Stop();
    } else {
        const char byte = 1;
        if (write(toChild[1], &byte, 1) != 1 ||
            read(toParent[0], &report, sizeof report) != sizeof report)
            return std::fprintf(stderr, "no report from the sandbox\n"), 1;
        waitpid(child, nullptr, 0);
    }
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const double perSiteMs = static_cast<double>(report.requests) / sites * kLatencyMs;
    const double ideal = static_cast<double>(report.requests) * kLatencyMs / kConcurrency;
    const double interval = static_cast<double>(sites - 1) * kStartIntervalMs;
    const double goal = ideal + interval;
    // Sites start 100 ms apart and each takes perSiteMs, so the last one ends at this.
    const double floor = interval + perSiteMs;
    std::printf(
        "run_scale: %d sites x %d articles, 同时站点数 %d, %d ms per request, "
        "sandbox %s\n",
        sites, kArticles, kConcurrency, kLatencyMs,
        inProcess ? "in this process" : "in a child process");
    std::printf("requests      %lld (%.2f a site, expected %d)\n", report.requests,
                static_cast<double>(report.requests) / sites, kRequestsPerSite);
    std::printf("wall          %lld ms\n", static_cast<long long>(wall));
    std::printf("ideal         %.0f ms (requests x %d ms / %d)\n", ideal, kLatencyMs, kConcurrency);
    std::printf("goal          %.0f ms (ideal + %d x %d ms start interval)  ratio %.3f %s\n", goal,
                sites - 1, kStartIntervalMs, static_cast<double>(wall) / goal,
                static_cast<double>(wall) <= goal * 1.1 ? "(within 10%)" : "(MISSED)");
    std::printf(
        "floor         %.0f ms (%d x %d ms + one site's %.0f ms)  ratio %.3f; "
        "%.1f ms per start\n",
        floor, sites - 1, kStartIntervalMs, perSiteMs, static_cast<double>(wall) / floor,
        (static_cast<double>(wall) - perSiteMs) / (sites - 1));
    std::printf("running jobs  peak %ld of %d allowed\n", peakJobs, kConcurrency);
    std::printf("client CPU    %.2f s, %.0f us a site; %ld log rows\n", cpu, cpu * 1e6 / sites,
                host.rows);
    std::printf(
        "client        VmHWM %.1f MB (%s; %.1f MB before the run), peak %ld threads, "
        "%ld descriptors (limit %llu)  %s\n",
        clientHwmKb / 1024.0, inProcess ? "includes the sandbox" : "sandbox not included",
        baseKb / 1024.0, clientThreads, clientFds, static_cast<unsigned long long>(files.rlim_cur),
        clientHwmKb < 200 * 1024 ? "(under 200 MB)" : "(OVER 200 MB)");
    if (!inProcess)
        std::printf("sandbox       VmHWM %.1f MB, peak %ld threads, %ld descriptors\n",
                    report.hwmKb / 1024.0, report.threads, report.fds);
    std::printf("arrived once  %s\n", report.once ? "yes" : "NO");
    std::fflush(stdout);
    std::error_code ec;  // the sessions' descriptors are still open here; a shortage shows
    std::filesystem::remove_all(root, ec);
    if (ec) std::fprintf(stderr, "cannot remove %s: %s\n", root.c_str(), ec.message().c_str());
    return report.once ? 0 : 1;
}
