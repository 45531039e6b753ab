// Requests per second the sandbox emlog admin serves: 20 clients, one site each, logging
// in and publishing 10 KB articles (each publish is a POST and the GET of its redirect),
// over keep-alive connections and over a new connection per request.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "sandbox/raw_client.h"
#include "sandbox/sandbox_server.h"

namespace {

void Run(bool keepAlive, int clients, int posts) {
    sandbox::ServerOptions options;
    for (int i = 0; i < clients; ++i) {
        sandbox::SiteOptions site;
        site.prefix = "s" + std::to_string(i);
        options.sites.push_back(site);
    }
    sandbox::SandboxServer server(options);
    if (!server.Start()) return;
    std::string content(10240, 'x');
    std::atomic<int> failures{0};
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int i = 0; i < clients; ++i) {
        workers.emplace_back([&, i] {
            RawClient client(server.port());
            client.SetKeepAlive(keepAlive);
            std::string admin = "/s" + std::to_string(i) + "/admin";
            std::string page =
                client.Follow("POST", admin + "/index.php?action=login", "user=admin&pw=admin888")
                    .body;
            std::string token = page.substr(page.find("id=\"token\" value=\"") + 18, 32);
            for (int n = 0; n < posts; ++n) {
                std::string body =
                    "title=t" + std::to_string(n) + "&as_logid=-1&content=" + content +
                    "&tag=a,b&sort=0&postdate=2024-01-01%2000%3A00%3A00" +
                    "&excerpt=&alias=&top=n&sortop=n&allow_remark=y&token=" + token + "&author=1";
                if (client.Follow("POST", admin + "/save_log.php?action=add", body)
                        .body.find(">发布成功</span>") == std::string::npos)
                    ++failures;
            }
        });
    }
    for (auto& worker : workers) worker.join();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double requests = static_cast<double>(server.TotalRequests());
    std::printf(
        "%-22s %2d clients x %4d publishes: %6.0f requests in %5.2f s = %6.0f requests/s, "
        "%d failed\n",
        keepAlive ? "keep-alive" : "connection per request", clients, posts, requests, seconds,
        requests / seconds, failures.load());
}

}  // namespace

int main() {
    Run(true, 20, 500);
    Run(false, 20, 250);
    Run(true, 1, 1000);
    return 0;
}
