// qingluan-cli scan --site N [--variant pattern|findfile]: the article list of a site.
// qingluan-cli preview FILE --site N: one article as it would be posted to site N.

#include <cstdio>
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

int RunScan(CliContext& context) {
    auto& args = context.args;
    std::string number;
    std::string variantText = "findfile";
    const bool hasSite = TakeOption(args, "--site", number);
    TakeOption(args, "--variant", variantText);
    if (!hasSite || !args.empty())
        return CliFail("usage: scan --site N [--variant pattern|findfile]");
    ScanVariant variant;
    if (variantText == "pattern") {
        variant = ScanVariant::PatternScan;
    } else if (variantText == "findfile") {
        variant = ScanVariant::FindFileScan;
    } else {
        return CliFail("--variant takes pattern or findfile, not \"" + variantText + "\"");
    }
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSiteNumber(context, number, site, exitCode)) return exitCode;
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

int RunPreview(CliContext& context) {
    auto& args = context.args;
    std::string number;
    const bool hasSite = TakeOption(args, "--site", number);
    if (!hasSite || args.size() != 1 || args[0].rfind("--", 0) == 0)
        return CliFail("usage: preview FILE --site N");
    const auto path = charset::Utf8ToGbkStrict(args[0]);
    if (!path) return CliFail("the path has characters outside GBK: " + args[0]);
    if (!platform::FileExists(*path)) return CliFail("no such file: " + args[0]);
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSiteNumber(context, number, site, exitCode)) return exitCode;
    PrepareForPreview(site);
    const auto article = ComposeArticle(*path, site);
    // The site job logs such a file as missing and skips it.
    if (!article) return CliFail("the file gives no text, it would be skipped: " + args[0]);
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

const CliCommand kPreview("preview",
                          "FILE --site N  title, category, tags, excerpt, alias and body as "
                          "they would be posted",
                          RunPreview);

const CliCommand kScan("scan", "--site N [--variant pattern|findfile]  the site's article paths",
                       RunScan);

}  // namespace
