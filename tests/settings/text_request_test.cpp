#include "settings/text_request.h"

#include <gtest/gtest.h>

#include "core/charset.h"

namespace {

std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

struct HeightCase {
    const char* name;
    std::string prompt;
    int boxWidth;
    int height;
};

TEST(TextRequest, PromptHeightCountsScreenLinesOfTwelvePixels) {
    const std::string wide(150, 'a');
    const std::string cjk =
        Gbk("一行一个标签，在更新文章时将读取随机的几个标签作为文章的标签选项。");  // 66 bytes
    const HeightCase cases[] = {
        // a 400-pixel client area: a box of 390 pixels, 65 characters a line
        {"three short lines", "a\r\nbb\r\nccc", 390, 36},
        {"150 bytes wrap to three lines", wide, 390, 36},
        {"exactly one full line", std::string(65, 'x'), 390, 12},
        {"one byte over a full line", std::string(66, 'x'), 390, 24},
        {"double-byte characters count two cells", cjk, 390, 24},
        {"an empty prompt still takes a line", "", 390, 12},
        {"empty lines take a line each", "\r\n\r\n", 390, 36},
        {"a trailing line end adds an empty line", "abc\r\n", 390, 24},
        {"LF alone also ends a line", "a\nb", 390, 24},
        {"the CR of CR LF is not counted", std::string(65, 'x') + "\r\n", 390, 24},
        {"a partial cell is dropped from the width", std::string(65, 'x'), 395, 12},
        {"a box narrower than a cell wraps every byte", "abcd", 3, 48},
        {"a zero-width box does not divide by zero", "ab", 0, 24},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_request::PromptHeight(c.prompt, c.boxWidth), c.height) << c.name;
}

TEST(TextRequest, PromptHeightFollowsTheGivenCell) {
    // A real font's cell: 7 pixels a byte, 17 a line; 390 / 7 = 55 bytes a line.
    EXPECT_EQ(text_request::PromptHeight(std::string(56, 'x'), 390, 7, 17), 34);
    EXPECT_EQ(text_request::PromptLines(std::string(55, 'x'), 390, 7), 1);
}

TEST(TextRequest, PromptAndTitleRules) {
    struct Case {
        const char* name;
        std::optional<std::string> prompt;
        bool inputMode;
        std::string shown;
    };
    const Case cases[] = {
        {"given prompt, input", Gbk("说明"), true, Gbk("说明")},
        {"given prompt, display", Gbk("说明"), false, Gbk("说明")},
        {"empty prompt, input", std::string(), true, Gbk("请输入数据：")},
        {"empty prompt, display", std::string(), false, Gbk("以下为信息详情：")},
        {"no prompt, input", std::nullopt, true, ""},
        {"no prompt, display", std::nullopt, false, ""},
    };
    for (const auto& c : cases) {
        TextRequest request;
        request.prompt = c.prompt;
        request.inputMode = c.inputMode;
        EXPECT_EQ(text_request::PromptText(request), c.shown) << c.name;
    }

    TextRequest request;
    EXPECT_EQ(text_request::TitleText(request), Gbk("岚舟："));
    request.title = Gbk("批量导入站点");
    EXPECT_EQ(text_request::TitleText(request), Gbk("批量导入站点"));
}

TEST(TextRequest, BoxLinesRoundTripToCrLf) {
    EXPECT_EQ(text_request::ToBoxLines("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(text_request::FromBoxLines("a\nb\n"), "a\r\nb\r\n");
    // A text that already has CR LF, or a mix, must not gain a second CR.
    EXPECT_EQ(text_request::FromBoxLines("a\r\nb\nc"), "a\r\nb\r\nc");
    const std::string cjk = Gbk("标签一\r\n标签二");
    EXPECT_EQ(text_request::FromBoxLines(text_request::ToBoxLines(cjk)), cjk);
}

TEST(TextRequest, ClosingAsksOnlyForChangedInput) {
    TextRequest request;
    request.text = "a\r\nb";
    EXPECT_FALSE(text_request::AsksBeforeClosing(request, "a\nb")) << "same text in box lines";
    EXPECT_TRUE(text_request::AsksBeforeClosing(request, "a\nb\n"));
    EXPECT_TRUE(text_request::AsksBeforeClosing(request, ""));
    request.inputMode = false;
    EXPECT_FALSE(text_request::AsksBeforeClosing(request, "changed"));
}

}  // namespace
