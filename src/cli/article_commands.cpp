// qingluan-cli scan --site N [--variant pattern|findfile]: the article list of a site.
// qingluan-cli preview FILE --site N: one article as it would be posted to site N.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "article/alias.h"
#include "article/article_source.h"
#include "article/compose_article.h"
#include "article/post_metadata.h"
#include "cli/cli_sites.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

struct ScanOptions {
    std::string site;
    std::string variant = "findfile";
};

int RunScan(CliContext& context, const ScanOptions& options) {
    ScanVariant variant;
    if (options.variant == "pattern") {
        variant = ScanVariant::PatternScan;
    } else if (options.variant == "findfile") {
        variant = ScanVariant::FindFileScan;
    } else {
        return CliFail("--variant takes pattern or findfile, not \"" + options.variant + "\"");
    }
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSiteNumber(context, options.site, site, exitCode)) return exitCode;
    for (const auto& path : ScanArticles(site, variant)) PrintGbkLine(path);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// As the site job prepares a site: tag lines, category list and running alias number
// start afresh.
void PrepareForPreview(SiteConfig& site) {
    PrepareTagList(site);
    PrepareCategoryList(site);
    ResetAliasCounter(site);
}

struct PreviewOptions {
    std::string file;
    std::string site;
};

// Why the site job would skip the file, or "" when it would post it. The job skips an
// article that gives no text or whose body is empty, logging it as 文章不存在.
std::string SkipReason(const std::optional<ArticleText>& article, const SiteConfig& site) {
    if (!article) return "the file gives no text";
    if (!article->body.empty()) return "";
    // Only the two options can empty a text that had something in it.
    if (site.首行标题)
        return "nothing but empty lines follows the first line, which 首行标题 takes as "
               "the title, so the body is empty";
    return "it holds only empty lines, which 段落标签 drops, so the body is empty";
}

int RunPreview(CliContext& context, const PreviewOptions& options) {
    const auto path = charset::Utf8ToGbkStrict(options.file);
    if (!path) return CliFail("the path has characters outside GBK: " + options.file);
    if (!platform::FileExists(*path)) return CliFail("no such file: " + options.file);
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSiteNumber(context, options.site, site, exitCode)) return exitCode;
    PrepareForPreview(site);
    const auto article = ComposeArticle(*path, site);
    const std::string skip = SkipReason(article, site);
    if (!skip.empty())
        return CliFail("a run would skip " + options.file + " with the row \"文章不存在：" +
                       options.file + "\": " + skip);
    const PostMetadata metadata = BuildPostMetadata(site, article->title, article->body);
    PrintGbkLine("title: " + article->title);
    PrintGbkLine("category: " + std::to_string(article->category));
    PrintGbkLine("tags: " + metadata.tags);
    PrintGbkLine("excerpt: " + metadata.excerpt);
    PrintGbkLine("alias: " + metadata.alias);
    PrintGbkLine("body:");
    const std::string body = charset::GbkToUtf8(article->body);
    std::fwrite(body.data(), 1, body.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const CliCommand kPreview(
    "preview", "title, category, tags, excerpt, alias and body as they would be posted",
    [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<PreviewOptions>();
        app.add_option("FILE", options->file, "the article file")->type_name("")->required();
        app.add_option("--site", options->site, "the site, by its number from 1")
            ->type_name("N")
            ->required();
        return [options](CliContext& context) { return RunPreview(context, *options); };
    });

const CliCommand kScan("scan", "the article paths of site N, as a run lists them",
                       [](CLI::App& app) -> CliHandler {
                           auto options = std::make_shared<ScanOptions>();
                           app.add_option("--site", options->site, "the site, by its number from 1")
                               ->type_name("N")
                               ->required();
                           app.add_option("--variant", options->variant,
                                          "pattern (one pass over the folder) or findfile "
                                          "(the default, one pass per 文件过滤 item)")
                               ->type_name("VARIANT");
                           return [options](CliContext& context) {
                               return RunScan(context, *options);
                           };
                       });

}  // namespace
