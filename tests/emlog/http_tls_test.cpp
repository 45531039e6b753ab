// TLS verification stays on: a loopback HTTPS server with a self-signed certificate (run by
// the openssl program) must give a failed exchange, not its page.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "core/charset.h"
#include "emlog/http_client.h"
#include "emlog/login.h"
#include "emlog/raw_http_server.h"
#include "sandbox/sandbox_server.h"
#include "settings/site_config.h"

extern char** environ;

namespace {

int Spawn(const std::vector<std::string>& args, bool quiet) {
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int RunToEnd(const std::vector<std::string>& args) {
    const int pid = Spawn(args, true);
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// True once something accepts TCP connections on the loopback port (within 5 s).
bool WaitForListener(std::uint16_t port) {
    for (int i = 0; i < 100; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const bool connected =
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (connected) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// A port that was free a moment ago.
std::uint16_t FreePort() {
    RawHttpServer probe([](const RawRequest&) { return HttpAnswer(""); });
    return probe.port();
}

TEST(HttpTlsTest, SelfSignedCertificateIsRefused) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("qingluan-tls-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string key = (folder / "key.pem").string();
    const std::string cert = (folder / "cert.pem").string();
    if (RunToEnd({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj",
                  "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-days", "1",
                  "-keyout", key, "-out", cert}) != 0) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "the openssl program is not available";
    }
    const std::uint16_t port = FreePort();
    const int server =
        Spawn({"openssl", "s_server", "-quiet", "-accept", "127.0.0.1:" + std::to_string(port),
               "-cert", cert, "-key", key, "-www"},
              true);
    ASSERT_GT(server, 0);
    const std::string url = "https://127.0.0.1:" + std::to_string(port) + "/";

    ASSERT_TRUE(WaitForListener(port)) << "openssl s_server did not start";

    HttpClient client;
    HttpLimits limits;
    limits.completeMs = 5000;
    client.SetLimits(limits);
    EXPECT_EQ(client.Request(url, "", FileEncoding::Auto), "");
    EXPECT_TRUE(client.LastExchangeFailed());
    EXPECT_EQ(
        client.Request("HTTPS://127.0.0.1:" + std::to_string(port) + "/", "", FileEncoding::Auto),
        "");

    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    std::filesystem::remove_all(folder);
}

// A site that only answers over TLS: the domain keeps its https://, so the login goes to
// https:// (its own authority trusted through QINGLUAN_CA_FILE), through socat in front of
// the sandbox. Without the scheme the same site is asked over plain http and fails.
TEST(HttpTlsTest, HttpsSiteLogsInOverTls) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("qingluan-tls-site-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string key = (folder / "key.pem").string();
    const std::string cert = (folder / "cert.pem").string();
    if (RunToEnd({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj",
                  "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-days", "1",
                  "-keyout", key, "-out", cert}) != 0 ||
        RunToEnd({"socat", "-V"}) != 0) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "openssl or socat is not available";
    }
    sandbox::ServerOptions options;
    sandbox::SiteOptions blog;
    blog.prefix = "blog";
    options.sites.push_back(blog);
    sandbox::SandboxServer server(options);
    ASSERT_TRUE(server.Start());
    const std::uint16_t port = FreePort();
    const int proxy =
        Spawn({"socat",
               "OPENSSL-LISTEN:" + std::to_string(port) +
                   ",bind=127.0.0.1,reuseaddr,fork,verify=0,cert=" + cert + ",key=" + key,
               "TCP:127.0.0.1:" + std::to_string(server.port())},
              true);
    ASSERT_GT(proxy, 0);
    ASSERT_TRUE(WaitForListener(port)) << "socat did not start";
    ::setenv("QINGLUAN_CA_FILE", cert.c_str(), 1);

    SiteConfig site;
    site.域名 = "https://127.0.0.1:" + std::to_string(port) + "/blog";
    site.后台 = "admin";
    site.用户 = "admin";
    site.密码 = "admin888";
    EXPECT_TRUE(Login(site, true));
    EXPECT_EQ(server.Counters(0).logins, 1);
    SiteConfig plain = site;
    plain.http = {};
    plain.域名 = "127.0.0.1:" + std::to_string(port) + "/blog";
    EXPECT_FALSE(Login(plain, true));

    ::unsetenv("QINGLUAN_CA_FILE");
    kill(proxy, SIGTERM);
    waitpid(proxy, nullptr, 0);
    server.Stop();
    std::filesystem::remove_all(folder);
}

}  // namespace
