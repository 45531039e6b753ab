#include "article/html_tag_finder.h"

#include <gtest/gtest.h>

#include <string>

#include "core/charset.h"

namespace {

std::string G(std::string_view utf8) {
    return charset::Utf8ToGbk(utf8);
}

std::string Body(std::string_view html) {
    HtmlTagFinder finder;
    return finder.FindElement(html, "body", {}, {}, false, false, 0, true, false);
}

TEST(HtmlTagFinder, BodyInnerText) {
    struct Case {
        const char* html;
        const char* inner;
    };
    const Case cases[] = {
        {"<html><BODY class=x>a = b<p>x</p></Body></html>", "a=b<p>x</p>"},
        {"<bodyx>no</bodyx><body>yes</body>", "yes"},
        {"<body>no end tag", ""},
        {"<body", ""},
        {"text <body without close and no tag end", ""},
        {"<body/>after</body>", ""},
        {"<body><body>in</body>out</body>", "<body>in</body>out"},
        {"<body><body>unbalanced</body>", ""},
        {"</body><body>x</body>", "x"},
        {"", ""},
        {"<body>\r\n1 +  1   =\t2\r\n</body>", "\r\n1 +  1=2\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Body(c.html), c.inner) << c.html;
    // Full-width spaces around "=" are tightened too.
    EXPECT_EQ(Body(G("<body>a\u3000=\u3000b</body>")), "a=b");
}

TEST(HtmlTagFinder, OuterTextAndSpacingFlag) {
    HtmlTagFinder finder;
    const std::string html = "<div id = \"a\">x = y</div>";
    EXPECT_EQ(finder.FindElement(html, "div"), "<div id=\"a\">x=y</div>");
    EXPECT_EQ(finder.FindElement(html, "DIV", {}, {}, false, false, 0, false, true), html);
    EXPECT_EQ(finder.FindElement("<div>open", "div"), "<div>");
    EXPECT_EQ(finder.FindElement("<br/>", "br"), "<br/>");
    EXPECT_EQ(finder.FindElement("<div>x</div>", ""), "");
}

TEST(HtmlTagFinder, AttributeFiltersAndOccurrence) {
    HtmlTagFinder finder;
    const std::string form =
        "<form><input type=\"text\" name=\"user\" value=\"u\">"
        "<input type=\"hidden\" name='token' value=\"abc123\" />"
        "<input type=hidden name=other value=zz></form>";
    const std::string token = "<input type=\"hidden\" name='token' value=\"abc123\" />";
    EXPECT_EQ(finder.FindElement(form, "input", {"name"}, {"token"}), token);
    EXPECT_EQ(finder.FindElement(form, "input", {"name"}, {"tok"}), "");
    EXPECT_EQ(finder.FindElement(form, "input", {"name"}, {"tok"}, true), token);
    EXPECT_EQ(finder.FindElement(form, "input", {"type", "name"}, {"hidden", "user"}, false, true),
              "");
    EXPECT_EQ(finder.FindElement(form, "input", {"type", "name"}, {"hidden", "other"}, false, true),
              "<input type=hidden name=other value=zz>");
    // Without the all-filters flag one met filter is enough.
    EXPECT_EQ(finder.FindElement(form, "input", {"type", "name"}, {"hidden", "user"}),
              "<input type=\"text\" name=\"user\" value=\"u\">");
    // Occurrence counts matching start tags; an empty value asks for presence only.
    EXPECT_EQ(finder.FindElement(form, "input", {"type"}, {"hidden"}, false, false, 2),
              "<input type=hidden name=other value=zz>");
    EXPECT_EQ(finder.FindElement(form, "input", {"type"}, {"hidden"}, false, false, 3), "");
    EXPECT_EQ(finder.FindElement(form, "input", {"value"}, {""}, false, false, 3),
              "<input type=hidden name=other value=zz>");
    EXPECT_EQ(finder.FindElement(form, "input", {"missing"}, {""}), "");
}

TEST(HtmlTagFinder, AttributeValue) {
    HtmlTagFinder finder;
    struct Case {
        std::string tag;
        const char* name;
        std::string value;
    };
    const Case cases[] = {
        {"<input name=\"token\" value=\" abc \">", "value", "abc"},
        {"<input name='token' VALUE='x y'>", "value", "x y"},
        {"<input value=bare name=t>", "value", "bare"},
        {"<input name=t value=last>", "value", "last"},
        {"<input data-value=\"no\">", "value", "no"},  // without the space, as a last resort
        {"<input name=t>", "value", ""},
        {"<input value=\"\">", "value", ""},  // not the two quotes
        {"<input value='' name=x>", "value", ""},
        {G("<input value=\"\u3000值\u3000\">"), "value", G("值")},
    };
    for (const auto& c : cases) EXPECT_EQ(finder.AttributeValue(c.tag, c.name), c.value) << c.tag;
}

TEST(HtmlTagFinder, LargeAndHostilePagesStayLinear) {
    HtmlTagFinder finder;
    // 20 MB page: many paragraphs, spaced "=" signs, a body that closes at the end.
    std::string page = "<html><head></head><body>";
    const std::string paragraph = "<p class = \"c\">" + G("春天 = 花") + "</p>\n";
    while (page.size() < 20u << 20) page += paragraph;
    page += "</body></html>";
    const std::string inner = Body(page);
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner.find(" = "), std::string::npos);
    EXPECT_EQ(inner.substr(0, 14), "<p class=\"c\">" + G("春").substr(0, 1));

    // Millions of unterminated and unmatched start tags.
    std::string opens;
    while (opens.size() < 8u << 20) opens += "<input <div ";
    EXPECT_EQ(finder.FindElement(opens + ">", "input", {"name"}, {"x"}), "");
    EXPECT_EQ(finder.FindElement(opens, "div"), "");
    std::string nested;
    while (nested.size() < 8u << 20) nested += "<div>";
    EXPECT_EQ(finder.FindElement(nested + "</div>", "div", {}, {}, false, false, 0, true), "");
}

}  // namespace
