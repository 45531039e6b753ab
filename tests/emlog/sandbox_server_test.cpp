#include "sandbox/sandbox_server.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/charset.h"
#include "sandbox/raw_client.h"
#include "sandbox/sandbox_config.h"

namespace {

using sandbox::Faults;
using sandbox::SandboxServer;
using sandbox::SiteCharset;

constexpr std::size_t kUtf8Site = 0;
constexpr std::size_t kGbkSite = 1;
constexpr std::size_t kRootSite = 2;

// Every byte but a letter or digit as %XX, the way the client encodes form values.
std::string Enc(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string Gbk(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

sandbox::ServerOptions TestOptions() {
    sandbox::ServerOptions options;
    sandbox::SiteOptions utf8;
    utf8.prefix = "blog1";
    utf8.user = "admin";
    utf8.password = "p&ss=1 x";
    utf8.blogName = "技术博客";
    utf8.categories = {{1, "技术", "tech", 0}, {2, "PHP笔记", "php", 1}, {3, "A&B", "", 0}};
    sandbox::SiteOptions gbk;
    gbk.prefix = "gbk/site";
    gbk.user = "管理员";
    gbk.password = "密码1";
    gbk.charset = SiteCharset::Gbk;
    gbk.blogName = "中文博客";
    gbk.categories = {{5, "新闻", "news", 0}};
    sandbox::SiteOptions root;
    root.adminDir = "houtai";
    root.user = "root";
    root.password = "rootpw";
    options.sites = {utf8, gbk, root};
    return options;
}

class SandboxServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.Start()); }

    std::string Admin(std::size_t site) const {
        std::string url = m_server.AdminUrl(site);
        return url.substr(url.find('/', 7));  // the path after http://host:port
    }

    std::string LoginBody(std::size_t site, std::string_view user, std::string_view pw) const {
        bool gbk = site == kGbkSite;
        return "user=" + Enc(gbk ? Gbk(user) : std::string(user)) +
               "&pw=" + Enc(gbk ? Gbk(pw) : std::string(pw));
    }

    // Logs in and returns the token of the admin page.
    std::string LogIn(RawClient& client, std::size_t site) {
        static const char* const kUsers[][2] = {
            {"admin", "p&ss=1 x"}, {"管理员", "密码1"}, {"root", "rootpw"}};
        RawResponse page = client.Follow("POST", Admin(site) + "/index.php?action=login",
                                         LoginBody(site, kUsers[site][0], kUsers[site][1]));
        std::string marker = "name=\"token\" id=\"token\" value=\"";
        auto at = page.body.find(marker);
        EXPECT_NE(at, std::string::npos) << page.body;
        if (at == std::string::npos) return {};
        at += marker.size();
        return page.body.substr(at, page.body.find('"', at) - at);
    }

    // The publish body the client sends: thirteen fields, values encoded in the site charset.
    std::string PublishBody(std::size_t site, std::string_view title, std::string_view token,
                            std::string_view date = "2024-05-06 07:08:09",
                            std::string_view content = "<p>正文</p>",
                            std::string_view tagRaw = "t1,t2") const {
        auto enc = [&](std::string_view utf8) {
            return Enc(site == kGbkSite ? Gbk(utf8) : std::string(utf8));
        };
        return "title=" + enc(title) + "&as_logid=-1&content=" + enc(content) +
               "&tag=" + std::string(tagRaw) + "&sort=2&postdate=" + Enc(date) +
               "&excerpt=" + enc("摘要") + "&alias=my-alias&top=y&sortop=n&allow_remark=y" +
               "&token=" + std::string(token) + "&author=1";
    }

    SandboxServer m_server{TestOptions()};
};

TEST_F(SandboxServerTest, AddressesFollowPrefixAndAdminFolder) {
    std::string port = std::to_string(m_server.port());
    EXPECT_NE(m_server.port(), 0);
    EXPECT_EQ(m_server.Domain(kUtf8Site), "127.0.0.1:" + port + "/blog1");
    EXPECT_EQ(m_server.Domain(kRootSite), "127.0.0.1:" + port);
    EXPECT_EQ(m_server.AdminDir(kRootSite), "houtai");
    EXPECT_EQ(m_server.AdminUrl(kGbkSite), "http://127.0.0.1:" + port + "/gbk/site/admin");
    // An admin folder that is not the site's is no admin page.
    RawClient client(m_server.port());
    EXPECT_EQ(client.Send("GET", "/admin/index.php").status, 200);  // root site front page
    EXPECT_EQ(m_server.Counters(kRootSite).requests, 1);
    EXPECT_EQ(client.Send("GET", "/houtai/nothing.php").status, 404);
}

TEST_F(SandboxServerTest, LoginRejectsWrongUserAndPassword) {
    struct Case {
        std::size_t site;
        const char* user;
        const char* pw;
        const char* message;
    } cases[] = {
        {kUtf8Site, "admin", "p&ss=1", "密码错误，请重新输入"},
        {kUtf8Site, "nobody", "p&ss=1 x", "用户名错误，请重新输入"},
        {kGbkSite, "管理员", "密码2", "密码错误，请重新输入"},
        {kGbkSite, "管理", "密码1", "用户名错误，请重新输入"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        RawClient client(m_server.port());
        RawResponse page = client.Send("POST", Admin(c.site) + "/index.php?action=login",
                                       LoginBody(c.site, c.user, c.pw));
        EXPECT_EQ(page.status, 200);
        bool gbk = c.site == kGbkSite;
        EXPECT_NE(page.body.find(gbk ? Gbk("<title>登录</title>") : "<title>登录</title>"),
                  std::string::npos);
        EXPECT_NE(page.body.find(gbk ? Gbk(c.message) : c.message), std::string::npos);
        EXPECT_EQ(page.body.find("管理中心"), std::string::npos);
    }
    EXPECT_EQ(m_server.Counters(kUtf8Site).failedLogins, 2);
    EXPECT_EQ(m_server.Counters(kGbkSite).logins, 0);
}

TEST_F(SandboxServerTest, LoginSetsCookiesAndAdminPageCarriesToken) {
    RawClient client(m_server.port());
    RawResponse answer = client.Send("POST", Admin(kUtf8Site) + "/index.php?action=login",
                                     LoginBody(kUtf8Site, "admin", "p&ss=1 x"));
    EXPECT_EQ(answer.status, 302);
    EXPECT_EQ(answer.Header("location"), "./");
    std::string cookies;
    for (const auto& cookie : answer.Headers("set-cookie")) cookies += cookie + "\n";
    EXPECT_NE(cookies.find("PHPSESSID="), std::string::npos);
    EXPECT_NE(cookies.find("EM_AUTHCOOKIE_"), std::string::npos);

    RawResponse page = client.Send("GET", Admin(kUtf8Site) + "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("<title>管理中心 - 技术博客</title>"), std::string::npos);
    std::string token = m_server.LastToken(kUtf8Site);
    ASSERT_FALSE(token.empty());
    EXPECT_NE(page.body.find("<input name=\"token\" id=\"token\" value=\"" + token +
                             "\" type=\"hidden\" />"),
              std::string::npos);
    EXPECT_NE(page.Header("set-cookie").find("EM_TOKENCOOKIE_"), std::string::npos);
    EXPECT_EQ(m_server.Counters(kUtf8Site).logins, 1);

    // A second login gets a new token; the GBK site and the root site log in too.
    RawClient again(m_server.port());
    EXPECT_NE(LogIn(again, kUtf8Site), token);
    RawClient gbk(m_server.port());
    EXPECT_FALSE(LogIn(gbk, kGbkSite).empty());
    RawClient root(m_server.port());
    EXPECT_FALSE(LogIn(root, kRootSite).empty());
}

TEST_F(SandboxServerTest, AdminPagesWithoutLoginShowTheLoginPage) {
    RawClient other(m_server.port());
    LogIn(other, kGbkSite);  // a session of another site opens nothing here
    for (const char* page : {"/", "/index.php", "/write_log.php", "/sort.php", "/admin_log.php",
                             "/save_log.php?action=add"}) {
        SCOPED_TRACE(page);
        RawResponse answer = other.Send("GET", Admin(kUtf8Site) + page);
        EXPECT_EQ(answer.status, 200);
        EXPECT_NE(answer.body.find("<title>登录</title>"), std::string::npos);
    }
    RawResponse post = other.Send("POST", Admin(kUtf8Site) + "/save_log.php?action=add",
                                  PublishBody(kUtf8Site, "x", "whatever"));
    EXPECT_NE(post.body.find("<title>登录</title>"), std::string::npos);
    EXPECT_TRUE(m_server.Posts(kUtf8Site).empty());
    EXPECT_EQ(m_server.Counters(kUtf8Site).rejectedPublishes, 1);

    // An expired session behaves the same.
    RawClient client(m_server.port());
    LogIn(client, kUtf8Site);
    m_server.ExpireSessions(kUtf8Site);
    EXPECT_NE(client.Send("GET", Admin(kUtf8Site) + "/write_log.php").body.find("<title>登录"),
              std::string::npos);
}

TEST_F(SandboxServerTest, CharsetShowsInHeaderMetaAndBytes) {
    RawClient utf8(m_server.port());
    LogIn(utf8, kUtf8Site);
    RawResponse page = utf8.Send("GET", Admin(kUtf8Site) + "/write_log.php");
    EXPECT_EQ(page.Header("content-type"), "text/html; charset=UTF-8");
    EXPECT_NE(page.body.find("content=\"text/html; charset=UTF-8\""), std::string::npos);

    RawClient gbk(m_server.port());
    LogIn(gbk, kGbkSite);
    page = gbk.Send("GET", Admin(kGbkSite) + "/write_log.php");
    EXPECT_EQ(page.Header("content-type"), "text/html; charset=gbk");
    EXPECT_NE(page.body.find("charset=gbk"), std::string::npos);
    EXPECT_NE(page.body.find(Gbk("<title>管理中心 - 中文博客</title>")), std::string::npos);
    EXPECT_NE(page.body.find(Gbk("<option value=\"5\">新闻</option>")), std::string::npos);
    EXPECT_EQ(page.body.find("中文"), std::string::npos);  // no UTF-8 bytes leak
}

TEST_F(SandboxServerTest, WritePageListsCategoriesAndToken) {
    RawClient client(m_server.port());
    std::string token = LogIn(client, kUtf8Site);
    std::string page = client.Send("GET", Admin(kUtf8Site) + "/write_log.php").body;
    EXPECT_NE(page.find("name=\"token\" id=\"token\" value=\"" + token + "\""), std::string::npos);
    std::string select = page.substr(page.find("<select name=\"sort\" id=\"sort\""));
    select = select.substr(0, select.find("</select>"));
    EXPECT_NE(select.find("<option value=\"-1\">选择分类...</option>\n"
                          "<option value=\"1\">技术</option>\n"
                          "<option value=\"2\">&nbsp; &nbsp; &nbsp; PHP笔记</option>\n"
                          "<option value=\"3\">A&amp;B</option>\n"),
              std::string::npos)
        << select;
}

TEST_F(SandboxServerTest, PublishStoresDecodedFieldsInBothCharsets) {
    for (std::size_t site : {kUtf8Site, kGbkSite}) {
        SCOPED_TRACE(site);
        RawClient client(m_server.port());
        std::string token = LogIn(client, site);
        // A tag sent unencoded in the site's bytes, as the old client did, arrives too.
        std::string tagRaw = site == kGbkSite ? Gbk("中文,C%26C") : "中文,C%26C";
        std::string body =
            PublishBody(site, "中 a&b=c", token, "2024-05-06 07:08:09", "<p>正文 100%</p>", tagRaw);
        int hops = 0;
        RawResponse answer =
            client.Follow("POST", Admin(site) + "/save_log.php?action=add", body, &hops);
        EXPECT_EQ(hops, 1);
        std::string success = "<span class=\"actived\">发布成功</span>";
        EXPECT_NE(answer.body.find(site == kGbkSite ? Gbk(success) : success), std::string::npos);
        auto posts = m_server.Posts(site);
        ASSERT_EQ(posts.size(), 1u);
        const sandbox::SandboxPost& post = posts[0];
        EXPECT_EQ(post.title, "中 a&b=c");
        EXPECT_EQ(post.content, "<p>正文 100%</p>");
        EXPECT_EQ(post.tag, "中文,C&C");
        EXPECT_EQ(post.tags, (std::vector<std::string>{"中文", "C&C"}));
        EXPECT_EQ(post.excerpt, "摘要");
        EXPECT_EQ(post.alias, "my-alias");
        EXPECT_EQ(post.sort, "2");
        EXPECT_EQ(post.postdate, "2024-05-06 07:08:09");
        EXPECT_EQ(post.top, "y");
        EXPECT_EQ(post.sortop, "n");
        EXPECT_EQ(post.allowRemark, "y");
        EXPECT_EQ(post.token, token);
        EXPECT_EQ(post.author, "1");
        EXPECT_EQ(post.asLogid, "-1");
        EXPECT_EQ(post.rawBody, body);
        ASSERT_EQ(post.fields.size(), 13u);
        EXPECT_EQ(post.fields[0].first, "title");
        EXPECT_EQ(post.fields[12].first, "author");
    }
    // 中 is %D6%D0 on the GBK site and %E4%B8%AD on the UTF-8 site.
    EXPECT_EQ(m_server.Posts(kGbkSite)[0].rawBody.rfind("title=%D6%D0%20", 0), 0u);
    EXPECT_EQ(m_server.Posts(kUtf8Site)[0].rawBody.rfind("title=%E4%B8%AD%20", 0), 0u);
}

TEST_F(SandboxServerTest, PublishChecksToken) {
    RawClient client(m_server.port());
    std::string token = LogIn(client, kUtf8Site);
    for (std::string bad : {std::string(), std::string("0123"), token + "x"}) {
        RawResponse answer = client.Send("POST", Admin(kUtf8Site) + "/save_log.php?action=add",
                                         PublishBody(kUtf8Site, "标题", bad));
        EXPECT_EQ(answer.status, 200);
        EXPECT_NE(answer.body.find("<title>提示信息</title>"), std::string::npos);
        EXPECT_NE(answer.body.find("权限不足，token error"), std::string::npos);
    }
    EXPECT_TRUE(m_server.Posts(kUtf8Site).empty());
    EXPECT_EQ(m_server.Counters(kUtf8Site).rejectedPublishes, 3);
    // The token of another session of the same site is no good either.
    RawClient other(m_server.port());
    std::string otherToken = LogIn(other, kUtf8Site);
    EXPECT_NE(client
                  .Send("POST", Admin(kUtf8Site) + "/save_log.php?action=add",
                        PublishBody(kUtf8Site, "标题", otherToken))
                  .body.find("token error"),
              std::string::npos);
}

TEST_F(SandboxServerTest, SameTitleAndDateMakeOneArticle) {
    RawClient client(m_server.port());
    client.SetKeepAlive(true);
    std::string token = LogIn(client, kUtf8Site);
    std::string save = Admin(kUtf8Site) + "/save_log.php?action=add";
    for (const char* date : {"2024-05-06 07:08:09", "2024-05-06 07:08:09", "2024-05-06 07:08:10"}) {
        RawResponse answer =
            client.Follow("POST", save, PublishBody(kUtf8Site, "同名", token, date));
        EXPECT_NE(answer.body.find(">发布成功</span>"), std::string::npos);
    }
    client.Follow("POST", save, PublishBody(kUtf8Site, "别名", token));  // same alias, new title
    auto posts = m_server.Posts(kUtf8Site);
    ASSERT_EQ(posts.size(), 3u);
    EXPECT_EQ(posts[0].submissions, 2);
    EXPECT_EQ(posts[1].submissions, 1);
    EXPECT_EQ(posts[0].storedAlias, "my-alias");
    EXPECT_EQ(posts[1].storedAlias, "my-alias-2");
    EXPECT_EQ(posts[2].storedAlias, "my-alias-3");
    EXPECT_EQ(m_server.Counters(kUtf8Site).publishes, 4);
    EXPECT_EQ(client.Requests(), 2 + 4 * 2);  // logins and publishes, each with its redirect
}

TEST_F(SandboxServerTest, SortPageMarkupAndCategoryChanges) {
    RawClient client(m_server.port());
    std::string token = LogIn(client, kUtf8Site);
    std::string sort = Admin(kUtf8Site) + "/sort.php";
    std::string page = client.Send("GET", sort).body;
    EXPECT_NE(page.find("class=\"item_list\""), std::string::npos);
    EXPECT_NE(page.find("<td class=\"sortname\">\n<a href=\"sort.php?action=mod_sort&sid=1\">技术"
                        "</a>\n</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td class=\"sortname\">---- <a href=\"sort.php?action=mod_sort&sid=2\">"
                        "PHP笔记</a></td>"),
              std::string::npos);
    EXPECT_NE(page.find("name=\"template\" id=\"template\" value=\"log_list\" />"),
              std::string::npos);
    EXPECT_LT(page.find("<tbody>"), page.find("sortname"));

    auto add = [&](std::string_view name, std::string_view alias, int pid) {
        return client
            .Follow("POST", sort + "?action=add",
                    "taxis=&sortname=" + Enc(name) + "&alias=" + Enc(alias) +
                        "&pid=" + std::to_string(pid) + "&template=log%5Flist" +
                        "&description=&token=" + token)
            .body;
    };
    EXPECT_NE(add("体育", "tiyu", 1).find("<span class=\"actived\">添加分类成功</span>"),
              std::string::npos);
    EXPECT_NE(add("体育2", "tiyu", 0).find("<span class=\"error\">别名不能重复</span>"),
              std::string::npos);
    EXPECT_NE(add("", "x", 0).find("分类名称不能为空"), std::string::npos);
    EXPECT_NE(add("数字", "123", 0).find("别名不能为纯数字"), std::string::npos);
    EXPECT_NE(add("空别名", "", 0).find("添加分类成功"), std::string::npos);
    auto categories = m_server.Categories(kUtf8Site);
    ASSERT_EQ(categories.size(), 5u);
    EXPECT_EQ(categories[3].name, "体育");
    EXPECT_EQ(categories[3].id, 4);
    EXPECT_EQ(categories[3].parent, 1);
    page = client.Send("GET", sort).body;
    EXPECT_NE(page.find("---- <a href=\"sort.php?action=mod_sort&sid=4\">体育</a>"),
              std::string::npos);

    // Deleting a parent lifts its children to the top; a wrong token changes nothing.
    EXPECT_NE(client.Follow("GET", sort + "?action=del&sid=1&token=bad").body.find("token error"),
              std::string::npos);
    RawResponse deleted = client.Send("GET", sort + "?action=del&sid=1&token=" + token);
    EXPECT_EQ(deleted.status, 302);
    EXPECT_EQ(deleted.Header("location"), "./sort.php?active_del=1");
    page = client.Follow("GET", sort + "?action=del&sid=1&token=" + token).body;
    EXPECT_NE(page.find("<span class=\"actived\">删除分类成功</span>"), std::string::npos);
    EXPECT_NE(page.find("<td class=\"sortname\">\n<a href=\"sort.php?action=mod_sort&sid=2\">"),
              std::string::npos);
    EXPECT_EQ(m_server.Categories(kUtf8Site).size(), 4u);
}

TEST_F(SandboxServerTest, ArticleDeletion) {
    RawClient client(m_server.port());
    std::string token = LogIn(client, kUtf8Site);
    client.Follow("POST", Admin(kUtf8Site) + "/save_log.php?action=add",
                  PublishBody(kUtf8Site, "要删除的", token));
    ASSERT_EQ(m_server.Posts(kUtf8Site).size(), 1u);
    std::string url = Admin(kUtf8Site) + "/admin_log.php?action=operate_log";
    auto remove = [&](int id, const std::string& withToken) {
        return client.Send("POST", url,
                           "pid=&blog%5B%5D=" + std::to_string(id) + "&token=" + withToken +
                               "&operate=del&top=&sort=0");
    };
    EXPECT_NE(remove(1, "bad").body.find("token error"), std::string::npos);
    RawResponse answer = remove(1, token);
    EXPECT_EQ(answer.status, 302);
    EXPECT_EQ(answer.Header("location"), "./admin_log.php?active_del=1");
    EXPECT_NE(client.Send("GET", RawClient::Resolve(url, answer.Header("location")))
                  .body.find("<span class=\"actived\">删除成功</span>"),
              std::string::npos);
    EXPECT_TRUE(m_server.Posts(kUtf8Site).empty());
    // An id that is not there: no success message.
    RawResponse missing = remove(1, token);
    EXPECT_EQ(missing.status, 200);
    EXPECT_EQ(missing.body.find("删除成功"), std::string::npos);
    EXPECT_NE(missing.body.find("<title>提示信息</title>"), std::string::npos);
    EXPECT_NE(missing.body.find("权限不足！"), std::string::npos);
}

TEST_F(SandboxServerTest, CategoryAddIgnoresTheTokenAndDeleteOfAnyIdSucceeds) {
    RawClient client(m_server.port());
    std::string token = LogIn(client, kUtf8Site);
    std::string sort = Admin(kUtf8Site) + "/sort.php";
    // emlog 5.3.1 checks the token on deletion only.
    RawResponse added = client.Send("POST", sort + "?action=add",
                                    "taxis=&sortname=" + Enc("新闻") +
                                        "&alias=&pid=0&template=log_list&description=&token=bad");
    EXPECT_EQ(added.status, 302);
    EXPECT_EQ(added.Header("location"), "./sort.php?active_add=1");
    EXPECT_EQ(m_server.Categories(kUtf8Site).size(), 4u);
    const std::string page = client.Follow("GET", sort + "?action=del&sid=999&token=" + token).body;
    EXPECT_NE(page.find("<span class=\"actived\">删除分类成功</span>"), std::string::npos);
    EXPECT_NE(client.Follow("GET", sort + "?action=del&sid=3&token=bad")
                  .body.find("<title>提示信息</title>"),
              std::string::npos);
    EXPECT_EQ(m_server.Categories(kUtf8Site).size(), 4u);
}

TEST_F(SandboxServerTest, ErrorFaults) {
    RawClient client(m_server.port());
    Faults status;
    status.httpStatus = 500;
    m_server.SetFaults(kUtf8Site, status);
    RawResponse answer = client.Send("GET", Admin(kUtf8Site) + "/index.php");
    EXPECT_EQ(answer.status, 500);
    EXPECT_TRUE(answer.complete);

    Faults loop;
    loop.redirectLoop = true;
    m_server.SetFaults(kUtf8Site, loop);
    answer = client.Send("GET", Admin(kUtf8Site) + "/write_log.php?x=1");
    EXPECT_EQ(answer.status, 302);
    EXPECT_EQ(answer.Header("location"), Admin(kUtf8Site) + "/write_log.php?x=1");

    Faults scheme;
    scheme.redirectLocation = "ftp://127.0.0.1/file";
    m_server.SetFaults(kUtf8Site, scheme);
    EXPECT_EQ(client.Send("GET", Admin(kUtf8Site) + "/").Header("location"),
              "ftp://127.0.0.1/file");

    Faults drop;
    drop.dropConnection = true;
    m_server.SetFaults(kUtf8Site, drop);
    answer = client.Send("GET", Admin(kUtf8Site) + "/");
    EXPECT_TRUE(answer.bytes.empty());

    Faults garbage;
    garbage.garbage = true;
    m_server.SetFaults(kUtf8Site, garbage);
    answer = client.Send("GET", Admin(kUtf8Site) + "/");
    EXPECT_FALSE(answer.bytes.empty());
    EXPECT_EQ(answer.status, 0);

    // Other sites are not affected; clearing restores the site.
    EXPECT_EQ(client.Send("GET", Admin(kGbkSite) + "/").status, 200);
    m_server.ClearFaults(kUtf8Site);
    EXPECT_EQ(client.Send("GET", Admin(kUtf8Site) + "/").status, 200);
    EXPECT_EQ(m_server.Counters(kUtf8Site).faultsApplied, 5);
}

TEST_F(SandboxServerTest, FaultsLimitedByPageAndCount) {
    RawClient client(m_server.port());
    std::string token = LogIn(client, kUtf8Site);
    Faults faults;
    faults.page = "save_log.php";
    faults.count = 2;
    faults.httpStatus = 503;
    m_server.SetFaults(kUtf8Site, faults);
    std::string save = Admin(kUtf8Site) + "/save_log.php?action=add";
    EXPECT_EQ(client.Send("GET", Admin(kUtf8Site) + "/write_log.php").status, 200);
    EXPECT_EQ(client.Send("POST", save, PublishBody(kUtf8Site, "a", token)).status, 503);
    EXPECT_EQ(client.Send("POST", save, PublishBody(kUtf8Site, "a", token)).status, 503);
    EXPECT_EQ(client.Send("POST", save, PublishBody(kUtf8Site, "a", token)).status, 302);
    EXPECT_EQ(m_server.Posts(kUtf8Site).size(), 1u);  // the failed ones stored nothing
}

TEST_F(SandboxServerTest, MarkerAndTokenFaults) {
    RawClient client(m_server.port());
    std::string login = Admin(kUtf8Site) + "/index.php?action=login";
    std::string body = LoginBody(kUtf8Site, "admin", "p&ss=1 x");

    Faults missing;
    missing.markers = sandbox::MarkerFault::Missing;
    m_server.SetFaults(kUtf8Site, missing);
    std::string page = client.Follow("POST", login, body).body;
    EXPECT_EQ(page.find("<title>管理中心"), std::string::npos);
    EXPECT_EQ(page.find("name=\"token\""), std::string::npos);

    Faults upper;
    upper.markers = sandbox::MarkerFault::WrongCase;
    m_server.SetFaults(kUtf8Site, upper);
    page = client.Follow("POST", login, body).body;
    EXPECT_NE(page.find("<TITLE>管理中心"), std::string::npos);
    std::string token = m_server.LastToken(kUtf8Site);
    page = client
               .Follow("POST", Admin(kUtf8Site) + "/save_log.php?action=add",
                       PublishBody(kUtf8Site, "大写", token))
               .body;
    EXPECT_NE(page.find(">发布成功</SPAN>"), std::string::npos);
    EXPECT_EQ(page.find(">发布成功</span>"), std::string::npos);

    Faults noToken;
    noToken.token = sandbox::TokenFault::NotOnLoginPage;
    m_server.SetFaults(kUtf8Site, noToken);
    page = client.Follow("POST", login, body).body;
    EXPECT_NE(page.find("<title>管理中心"), std::string::npos);
    EXPECT_EQ(page.find("name=\"token\""), std::string::npos);
    token = m_server.LastToken(kUtf8Site);
    EXPECT_NE(client.Send("GET", Admin(kUtf8Site) + "/write_log.php").body.find(token),
              std::string::npos);

    Faults nowhere;
    nowhere.token = sandbox::TokenFault::Nowhere;
    m_server.SetFaults(kUtf8Site, nowhere);
    EXPECT_EQ(client.Send("GET", Admin(kUtf8Site) + "/write_log.php").body.find("name=\"token\""),
              std::string::npos);
    page = client
               .Follow("POST", Admin(kUtf8Site) + "/save_log.php?action=add",
                       PublishBody(kUtf8Site, "无令牌", ""))
               .body;
    EXPECT_NE(page.find(">发布成功</span>"), std::string::npos);

    Faults wrongCharset;
    wrongCharset.wrongCharset = true;
    m_server.SetFaults(kGbkSite, wrongCharset);
    RawResponse answer = client.Send("GET", Admin(kGbkSite) + "/");
    EXPECT_EQ(answer.Header("content-type"), "text/html; charset=UTF-8");
    EXPECT_NE(answer.body.find("<title>登录</title>"), std::string::npos);
}

TEST_F(SandboxServerTest, StallAndHugeBodyFaults) {
    Faults stall;
    stall.stallMs = 300;
    m_server.SetFaults(kUtf8Site, stall);
    RawClient client(m_server.port());
    auto start = std::chrono::steady_clock::now();
    RawResponse answer = client.Send("GET", Admin(kUtf8Site) + "/");
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(answer.status, 200);
    EXPECT_GE(elapsed, std::chrono::milliseconds(290));

    // Half the body, then nothing until the stall ends.
    Faults mid;
    mid.stallMs = 2000;
    mid.stallPoint = sandbox::StallPoint::MidBody;
    m_server.SetFaults(kUtf8Site, mid);
    RawClient impatient(m_server.port(), 300);
    answer = impatient.Send("GET", Admin(kUtf8Site) + "/");
    EXPECT_EQ(answer.status, 200);
    EXPECT_FALSE(answer.complete);
    EXPECT_FALSE(answer.body.empty());

    Faults huge;
    huge.hugeBodyBytes = 100ll << 20;
    m_server.SetFaults(kUtf8Site, huge);
    answer = client.Send("GET", Admin(kUtf8Site) + "/");
    EXPECT_TRUE(answer.complete);
    EXPECT_EQ(answer.body.size(), 100u << 20);
    EXPECT_NE(answer.body.find("<title>登录</title>"), std::string::npos);
}

TEST(SandboxServerStopTest, StopEndsStallsAndOpenConnections) {
    sandbox::ServerOptions options;
    options.sites.resize(1);
    SandboxServer server(options);
    ASSERT_TRUE(server.Start());
    Faults forever;
    forever.stallMs = sandbox::kStallForever;
    server.SetFaults(0, forever);
    std::vector<std::thread> clients;
    std::atomic<int> ended{0};
    for (int i = 0; i < 4; ++i) {
        clients.emplace_back([&] {
            RawClient client(server.port(), 30000);
            RawResponse answer = client.Send("GET", "/admin/");
            if (answer.bytes.empty()) ++ended;
        });
    }
    int idle = ConnectLoopback(server.port(), 30000);  // an open connection with no request
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto start = std::chrono::steady_clock::now();
    server.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    for (auto& t : clients) t.join();
    EXPECT_EQ(ended, 4);
    char byte;
    EXPECT_EQ(::recv(idle, &byte, 1, 0), 0);
    ::close(idle);
}

TEST(SandboxServerLoadTest, ManyClientsPublishAtOnce) {
    sandbox::ServerOptions options;
    for (int i = 0; i < 20; ++i) {
        sandbox::SiteOptions site;
        site.prefix = "s" + std::to_string(i);
        site.charset = i % 2 ? SiteCharset::Gbk : SiteCharset::Utf8;
        options.sites.push_back(site);
    }
    SandboxServer server(options);
    ASSERT_TRUE(server.Start());
    constexpr int kPosts = 40;
    std::atomic<int> confirmed{0};
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < 20; ++i) {
        workers.emplace_back([&, i] {
            RawClient client(server.port());
            client.SetKeepAlive(i % 2 == 0);
            std::string admin = "/s" + std::to_string(i) + "/admin";
            std::string page =
                client.Follow("POST", admin + "/index.php?action=login", "user=admin&pw=admin888")
                    .body;
            auto at = page.find("id=\"token\" value=\"") + 18;
            std::string token = page.substr(at, 32);
            std::string success = ">发布成功</span>";
            if (i % 2 == 1) success = Gbk(success);
            for (int n = 0; n < kPosts; ++n) {
                std::string body = "title=t" + std::to_string(n) +
                                   "&content=c&postdate=2024-01-01" + "&token=" + token;
                if (client.Follow("POST", admin + "/save_log.php?action=add", body)
                        .body.find(success) != std::string::npos)
                    ++confirmed;
            }
        });
    }
    for (auto& t : workers) t.join();
    EXPECT_EQ(confirmed, 20 * kPosts);
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(server.Posts(i).size(), static_cast<std::size_t>(kPosts));
        EXPECT_EQ(server.Counters(i).requests, 2 + 2 * kPosts);
    }
    EXPECT_EQ(server.TotalRequests(), 20 * (2 + 2 * kPosts));
}

TEST(SandboxServerPostsTest, PostsFileAndEndpointHoldJsonLines) {
    auto dir =
        std::filesystem::temp_directory_path() / ("sandbox_posts_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    sandbox::ServerOptions options;
    options.sites.resize(1);
    options.sites[0].prefix = "b";
    options.sites[0].charset = SiteCharset::Gbk;
    options.postsFile = (dir / "posts.jsonl").string();
    {
        SandboxServer server(options);
        ASSERT_TRUE(server.Start());
        RawClient client(server.port());
        std::string page =
            client.Follow("POST", "/b/admin/index.php?action=login", "user=admin&pw=admin888").body;
        std::string token = page.substr(page.find("id=\"token\" value=\"") + 18, 32);
        client.Follow("POST", "/b/admin/save_log.php?action=add",
                      "title=" + Enc(Gbk("标题\"引号\"")) + "&content=a%0Ab&token=" + token);
        std::string listed = client.Send("GET", "/_sandbox/posts?site=0").body;
        EXPECT_NE(listed.find("\"title\":\"标题\\\"引号\\\"\""), std::string::npos) << listed;
        EXPECT_NE(listed.find("\"content\":\"a\\nb\""), std::string::npos);
        EXPECT_EQ(client.Send("GET", "/_sandbox/posts?site=7").status, 404);
        // Faults can be set from outside too.
        client.Send("GET", "/_sandbox/faults?site=0&status=502&count=1");
        EXPECT_EQ(client.Send("GET", "/b/admin/").status, 502);
        EXPECT_EQ(client.Send("GET", "/b/admin/").status, 200);
    }
    std::ifstream in(dir / "posts.jsonl");
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("{\"site\":\"b\",\"id\":1,\"title\":\"标题", 0), 0u);
    EXPECT_FALSE(std::getline(in, line));
    std::filesystem::remove_all(dir);
}

TEST(SandboxConfigTest, SiteLines) {
    sandbox::SiteOptions site;
    std::string error;
    ASSERT_TRUE(
        sandbox::ParseSiteLine("blog1|admin|pw|GBK|博客|houtai|1:技术:0,2:PHP笔记:1", site, error));
    EXPECT_EQ(site.prefix, "blog1");
    EXPECT_EQ(site.charset, SiteCharset::Gbk);
    EXPECT_EQ(site.adminDir, "houtai");
    ASSERT_EQ(site.categories.size(), 2u);
    EXPECT_EQ(site.categories[1].name, "PHP笔记");
    EXPECT_EQ(site.categories[1].parent, 1);
    ASSERT_TRUE(sandbox::ParseSiteLine("|u|p|utf-8|root blog", site, error));
    EXPECT_EQ(site.prefix, "");
    EXPECT_EQ(site.adminDir, "admin");
    for (const char* bad :
         {"a|b|c|utf-8", "a|b|c|latin1|d", "a|b|c|gbk|d|e|x:y", "a|b|c|gbk|d|e|1"})
        EXPECT_FALSE(sandbox::ParseSiteLine(bad, site, error)) << bad;
}

TEST(SandboxProgramTest, ServesConfiguredSitesUntilTerminated) {
    auto dir =
        std::filesystem::temp_directory_path() / ("sandbox_program_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream config(dir / "sites.txt");
        config << "# test sites\nblogA|ua|pa|utf-8|A 博客\n|ur|pr|gbk|Root|houtai\n";
    }
    std::string command = std::string(QINGLUAN_BINARY_DIR) + "/sandbox/qingluan-sandbox --config " +
                          (dir / "sites.txt").string() + " --posts-file " +
                          (dir / "posts.jsonl").string();
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string firstLine;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n') firstLine += c;
    ASSERT_EQ(firstLine.rfind("listening on 127.0.0.1:", 0), 0u) << firstLine;
    std::uint16_t port = static_cast<std::uint16_t>(std::stoi(firstLine.substr(23)));
    RawClient client(port);
    EXPECT_EQ(client.Send("POST", "/blogA/admin/index.php?action=login", "user=ua&pw=pa").status,
              302);
    EXPECT_NE(client.Send("GET", "/houtai/").body.find(Gbk("<title>登录</title>")),
              std::string::npos);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(out[0]);
    std::filesystem::remove_all(dir);
}

}  // namespace
