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
    const LoginResult result = TryLogin(site, false);
    const std::string admin = charset::GbkToUtf8(AdminBase(site));
    const char* kind = site.adminKind == AdminKind::Pro ? "emlog pro" : "emlog";
    if (result == LoginResult::Ok) {
        std::printf("login succeeded: %s (%s)\n", admin.c_str(), kind);
        std::printf("token: %s\n", site.token.empty() ? "(none found)" : site.token.c_str());
        return true;
    }
    const std::string failurePage = charset::GbkToUtf8(LoginFailurePagePath());
    if (result == LoginResult::CaptchaRequired) {
        std::printf(
            "login failed: %s asks for a captcha code at sign-in, which a program cannot "
            "enter; switch the login captcha off in the site's admin settings (the page is "
            "saved as %s)\n",
            admin.c_str(), failurePage.c_str());
    } else {
        std::printf("login failed: %s (the answer is saved as %s)\n", admin.c_str(),
                    failurePage.c_str());
    }
    return false;
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

void PrintFields(const PostFields& fields, AdminKind kind, bool utf8) {
    for (const FormField& field : PublishForm(fields, kind)) {
        // The postdate is always sent as GBK bytes, which for its ASCII are the same.
        std::string text = Readable(std::string(field.value), utf8);
        if ((field.name == "content" || field.name == "logcontent") && text.size() > 300) {
            std::size_t cut = 300;  // not inside a UTF-8 sequence
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
            text = text.substr(0, cut) + "… (" + std::to_string(field.value.size()) +
                   " bytes encoded)";
        }
        std::printf("  %.*s = %s\n", static_cast<int>(field.name.size()), field.name.data(),
                    text.c_str());
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
                charset::GbkToUtf8(EmlogClient(site).AdminUrl(PublishPage(site))).c_str());
    PrintFields(fields, site.adminKind, EmlogClient(site).IsUtf8());
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
