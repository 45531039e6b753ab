// Publishes 1000 articles of 10 KB to one sandbox site (no latency) and prints the
// client's CPU time per publish and the publishes per second. The sandbox runs on its own
// threads; only the CPU time of the publishing thread is counted.
#include "emlog/publish.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "article/post_metadata.h"
#include "core/charset.h"
#include "emlog/form_url_encode.h"
#include "emlog/login.h"
#include "emlog/site_http.h"
#include "sandbox/sandbox_server.h"
#include "settings/site_config.h"

namespace {

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double WallMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// About 10 KB of GBK article: Chinese paragraphs with some ASCII, as the files usually are.
std::string TenKilobyteBody() {
    const std::string sentence = charset::Utf8ToGbk(
        "青鸾助手把本地文章发布到多个博客站点，每篇文章都有标题、正文、标签和摘要。"
        "Version 2.0 & more = better; 100% tested. ");
    std::string body;
    while (body.size() < 10 * 1024) body += "<p>" + sentence + sentence + "</p>\r\n";
    return body;
}

struct Figures {
    int published = 0;
    double cpuMs = 0, wallMs = 0, fieldsCpuMs = 0, metadataCpuMs = 0, encodeCpuMs = 0;
    std::vector<double> perPublishCpu;
};

Figures Run(sandbox::SandboxServer& server, std::size_t index, int articles) {
    SiteConfig site;
    site.域名 = server.Domain(index);
    site.后台 = server.AdminDir(index);
    site.编码 = index == 0 ? 0 : 1;
    site.用户 = "admin";
    site.密码 = "admin888";
    site.标签数据 =
        charset::Utf8ToGbk("博客\r\n发布\r\nC&C\r\na=b\r\n站点\r\n文章\r\n工具\r\nemlog");
    site.标签数1 = 3;
    site.标签数2 = 5;
    site.内容摘要数1 = 50;
    site.内容摘要数2 = 100;
    site.别名类型 = 5;
    site.字母数1 = 6;
    site.字母数2 = 10;
    site.允许评论 = true;
    PrepareTagList(site);
    site.prep.chosenCategory = 1;
    Figures figures;
    if (!Login(site, false)) {
        std::fprintf(stderr, "login to the sandbox failed\n");
        return figures;
    }
    const std::string body = TenKilobyteBody();
    const std::string title = charset::Utf8ToGbk("性能测试文章 ");

    // The fields alone (metadata, encoding), without the exchange.
    double start = ThreadCpuMs();
    for (int i = 0; i < articles; ++i)
        PostFieldsBody(BuildPostFields(site, title + std::to_string(i), body));
    figures.fieldsCpuMs = ThreadCpuMs() - start;
    start = ThreadCpuMs();
    for (int i = 0; i < articles; ++i) BuildPostMetadata(site, title, body);
    figures.metadataCpuMs = ThreadCpuMs() - start;
    start = ThreadCpuMs();
    for (int i = 0; i < articles; ++i) FormUrlEncode(body, site.编码 == 0);
    figures.encodeCpuMs = ThreadCpuMs() - start;

    const double wallStart = WallMs();
    for (int i = 0; i < articles; ++i) {
        const double cpu = ThreadCpuMs();
        if (Publish(site, title + std::to_string(i), body)) ++figures.published;
        figures.perPublishCpu.push_back(ThreadCpuMs() - cpu);
    }
    figures.wallMs = WallMs() - wallStart;
    for (double ms : figures.perPublishCpu) figures.cpuMs += ms;
    return figures;
}

void Print(const char* name, int articles, Figures figures) {
    std::sort(figures.perPublishCpu.begin(), figures.perPublishCpu.end());
    const auto at = [&](double q) {
        if (figures.perPublishCpu.empty()) return 0.0;
        return figures
            .perPublishCpu[static_cast<std::size_t>(q * (figures.perPublishCpu.size() - 1))];
    };
    std::printf("%s site: %d of %d articles of 10 KB published\n", name, figures.published,
                articles);
    std::printf(
        "  client CPU per publish: %.3f ms mean, %.3f ms median, %.3f ms p99 (goal < 1 ms)\n",
        figures.cpuMs / articles, at(0.5), at(0.99));
    std::printf("  of which building the fields (metadata and encoding): %.3f ms\n",
                figures.fieldsCpuMs / articles);
    std::printf("    tags, excerpt and alias: %.3f ms; encoding the body: %.3f ms\n",
                figures.metadataCpuMs / articles, figures.encodeCpuMs / articles);
    std::printf("  publishes per second: %.0f (wall %.1f ms per publish, server included)\n",
                figures.wallMs > 0 ? articles * 1000.0 / figures.wallMs : 0.0,
                figures.wallMs / articles);
}

}  // namespace

int main(int argc, char** argv) {
    const int articles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    sandbox::ServerOptions options;
    for (const auto charset : {sandbox::SiteCharset::Utf8, sandbox::SiteCharset::Gbk}) {
        sandbox::SiteOptions site;
        site.prefix = charset == sandbox::SiteCharset::Utf8 ? "u8" : "gbk";
        site.charset = charset;
        site.categories = {{1, "技术", "", 0}};
        options.sites.push_back(site);
    }
    sandbox::SandboxServer server(options);
    if (!server.Start()) {
        std::fprintf(stderr, "the sandbox could not start\n");
        return 1;
    }
    Print("UTF-8", articles, Run(server, 0, articles));
    Print("GBK", articles, Run(server, 1, articles));
    return 0;
}
