// qingluan-sandbox: serves emlog-like admin sites on 127.0.0.1 for the demo and for
// trying the client by hand. See --help.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "sandbox_config.h"
#include "sandbox_server.h"

namespace {

constexpr char kUsage[] =
    "usage: qingluan-sandbox [options]\n"
    "  --port N          port on 127.0.0.1 (default 0: a free one)\n"
    "  --config FILE     sites, one per line: prefix|user|password|charset|blog name"
    "[|admin folder[|sid:name:parent,...]]\n"
    "  --sites N         instead of --config: N sites blog1 ... blogN\n"
    "  --user U --password P --charset utf-8|gbk --blog-name NAME --admin-dir D\n"
    "                    values of the generated sites (default admin, admin888, utf-8)\n"
    "  --latency MS      delay before every answer\n"
    "  --posts-file FILE append every accepted article as a JSON line\n"
    "Prints \"listening on 127.0.0.1:PORT\" when ready; stops on SIGINT or SIGTERM.\n"
    "GET /_sandbox/posts[?site=N], /_sandbox/counters, /_sandbox/faults?site=N&...\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "qingluan-sandbox: %s\n%s", message.c_str(), kUsage);
    return 2;
}

std::vector<sandbox::SandboxCategory> SampleCategories() {
    return {{1, "技术", "tech", 0}, {2, "PHP笔记", "php", 1}, {3, "生活", "life", 0}};
}

}  // namespace

int main(int argc, char** argv) {
    sandbox::ServerOptions options;
    std::string config;
    int generated = 0;
    sandbox::SiteOptions pattern;
    pattern.categories = SampleCategories();
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc) return Fail("missing value after " + std::string(arg));
        std::string value = argv[++i];
        if (arg == "--port") {
            options.port = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (arg == "--config") {
            config = value;
        } else if (arg == "--sites") {
            generated = std::atoi(value.c_str());
        } else if (arg == "--latency") {
            options.latencyMs = std::atoi(value.c_str());
        } else if (arg == "--posts-file") {
            options.postsFile = value;
        } else if (arg == "--user") {
            pattern.user = value;
        } else if (arg == "--password") {
            pattern.password = value;
        } else if (arg == "--charset") {
            if (value != "utf-8" && value != "gbk") return Fail("--charset is utf-8 or gbk");
            pattern.charset =
                value == "gbk" ? sandbox::SiteCharset::Gbk : sandbox::SiteCharset::Utf8;
        } else if (arg == "--blog-name") {
            pattern.blogName = value;
        } else if (arg == "--admin-dir") {
            pattern.adminDir = value;
        } else {
            return Fail("unknown option " + std::string(arg));
        }
    }
    std::string error;
    if (!config.empty() && !sandbox::LoadSiteConfig(config, options.sites, error))
        return Fail(error);
    for (int n = 1; n <= generated; ++n) {
        sandbox::SiteOptions site = pattern;
        site.prefix = "blog" + std::to_string(n);
        site.blogName = pattern.blogName + " " + std::to_string(n);
        options.sites.push_back(std::move(site));
    }
    if (options.sites.empty()) options.sites.push_back(pattern);  // one site at the root

    // Signals go to sigwait below, not to the server threads, which inherit the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sandbox::SandboxServer server(options);
    if (!server.Start())
        return Fail("cannot listen on port " + std::to_string(options.port) +
                    (options.postsFile.empty() ? "" : " or open the posts file"));
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(server.port()));
    for (std::size_t i = 0; i < server.SiteCount(); ++i) {
        const sandbox::SiteOptions& site = options.sites[i];
        std::printf("site %zu: domain %s admin %s user %s password %s charset %s\n", i,
                    server.Domain(i).c_str(), server.AdminDir(i).c_str(), site.user.c_str(),
                    site.password.c_str(),
                    site.charset == sandbox::SiteCharset::Gbk ? "gbk" : "utf-8");
    }
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
