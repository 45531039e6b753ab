// login --site N, publish FILE --site N: one site's emlog session from the command line,
// the same steps a site job takes.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "article/compose_article.h"
#include "article/post_metadata.h"
#include "cli/cli_sites.h"
#include "cli/command.h"
#include "core/charset.h"
#include "core/platform/files.h"
#include "emlog/emlog_client.h"
#include "emlog/login.h"
#include "emlog/publish.h"
#include "emlog/site_http.h"
#include "settings/config_store.h"
#include "settings/site_records.h"

namespace {

// A fresh session and a login, as a site job starts; prints the outcome.
bool LogIn(SiteConfig& site) {
    SiteHttp(site).Reset();
    const bool ok = Login(site, false);
    if (ok) {
        std::printf("login succeeded: %s\n", charset::GbkToUtf8(AdminBase(site)).c_str());
        std::printf("token: %s\n", site.token.empty() ? "(none found)" : site.token.c_str());
    } else {
        std::printf("login failed: %s (the answer is saved as %s)\n",
                    charset::GbkToUtf8(AdminBase(site)).c_str(),
                    charset::GbkToUtf8(LoginFailurePagePath()).c_str());
    }
    return ok;
}

struct SiteOptions {
    std::string site;
    std::string file;  // publish only
};

int LoginCommand(CliContext& context, const SiteOptions& options) {
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSiteNumber(context, options.site, site, exitCode)) return exitCode;
    return LogIn(site) ? 0 : 1;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A form value as readable UTF-8: percent-decoded, then from the site's charset.
std::string Readable(const std::string& encoded, bool utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0 &&
            HexValue(encoded[i + 2]) >= 0) {
            bytes.push_back(
                static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2])));
            i += 2;
        } else {
            bytes.push_back(encoded[i]);
        }
    }
    return utf8 ? bytes : charset::GbkToUtf8(bytes);
}

void PrintFields(const PostFields& fields, bool utf8) {
    const std::pair<const char*, const std::string*> named[] = {
        {"title", &fields.title},
        {"as_logid", &fields.asLogId},
        {"content", &fields.content},
        {"tag", &fields.tag},
        {"sort", &fields.sort},
        {"postdate", &fields.postdate},
        {"excerpt", &fields.excerpt},
        {"alias", &fields.alias},
        {"top", &fields.top},
        {"sortop", &fields.sortop},
        {"allow_remark", &fields.allowRemark},
        {"token", &fields.token},
        {"author", &fields.author},
    };
    for (const auto& [name, value] : named) {
        // The postdate is always sent as GBK bytes, which for its ASCII are the same.
        std::string text = Readable(*value, utf8);
        if (std::string(name) == "content" && text.size() > 300) {
            std::size_t cut = 300;  // not inside a UTF-8 sequence
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
            text = text.substr(0, cut) + "… (" + std::to_string(value->size()) + " bytes encoded)";
        }
        std::printf("  %s = %s\n", name, text.c_str());
    }
}

int PublishCommand(CliContext& context, const SiteOptions& options) {
    SiteConfig site;
    int exitCode = 0;
    if (!LoadSiteNumber(context, options.site, site, exitCode)) return exitCode;
    const auto path = charset::Utf8ToGbkStrict(options.file);
    if (!path) return CliFail("the file path has characters outside GBK: " + options.file);

    // What a site job prepares before its first article.
    PrepareCategoryList(site);
    PrepareTagList(site);
    site.prep.AliasCounter = site.别名起始值;
    if (!LogIn(site)) return 1;

    const auto article = ComposeArticle(*path, site);
    // A site job skips an empty body too, so it is never sent.
    if (!article || article->body.empty()) {
        std::printf("no article text in %s\n", options.file.c_str());
        return 1;
    }
    const PostFields fields = BuildPostFields(site, article->title, article->body);
    std::printf("fields sent to %s:\n",
                charset::GbkToUtf8(EmlogClient(site).AdminUrl(admin_page::kSaveLog)).c_str());
    PrintFields(fields, EmlogClient(site).IsUtf8());
    const bool published = SendPost(site, fields);
    std::printf("%s\n", published ? "published: the site confirmed the post"
                                  : "publish failed: the answer has no confirmation");
    return published ? 0 : 1;
}

CLI::Option* AddSiteOption(CLI::App& app, SiteOptions& options) {
    return app.add_option("--site", options.site, "the site, by its number from 1")
        ->type_name("N")
        ->required();
}

const CliCommand kLogin("login", "log into site N's emlog admin and show the token",
                        [](CLI::App& app) -> CliHandler {
                            auto options = std::make_shared<SiteOptions>();
                            AddSiteOption(app, *options);
                            return [options](CliContext& context) {
                                return LoginCommand(context, *options);
                            };
                        });

const CliCommand kPublish(
    "publish", "publish one article file to site N once", [](CLI::App& app) -> CliHandler {
        auto options = std::make_shared<SiteOptions>();
        app.add_option("FILE", options->file, "the article file")->type_name("")->required();
        AddSiteOption(app, *options);
        return [options](CliContext& context) { return PublishCommand(context, *options); };
    });

}  // namespace
