#pragma once

#include <optional>
#include <string>
#include <string_view>

// What AskText is asked for, and the rules of its window that need no widgets. Texts are GBK.
struct TextRequest {
    std::string text;                   // initial text, also what 恢复 restores
    std::optional<std::string> prompt;  // none: the prompt box stays empty
    std::string title;
    bool inputMode = true;      // false: the window only displays the text
    int width = 0, height = 0;  // wanted text-area size in pixels, 0 = design size
};

struct TextResult {
    bool ok = false;
    std::string text;
};

namespace text_request {

// Pixels between the window's elements and around them.
inline constexpr int kMargin = 5;
// The character cell the prompt height is measured in: one byte of text is one cell wide.
inline constexpr int kCellWidth = 6;
inline constexpr int kCellHeight = 12;

// The prompt box's text: the prompt when it is given and not empty, "请输入数据：" (input)
// or "以下为信息详情：" (display) when it is given but empty, empty when none is given.
std::string PromptText(const TextRequest& request);
// The title, or "岚舟：" when it is empty.
std::string TitleText(const TextRequest& request);

// Screen lines of the prompt in a box `boxWidth` pixels wide: every line of it (split at
// line ends; a CR before the LF is not counted) takes its byte length / (boxWidth /
// cellWidth) lines rounded up, at least one. A box narrower than one cell counts one
// character per line, so a window shrunk to nothing still gets a finite height.
int PromptLines(std::string_view prompt, int boxWidth, int cellWidth = kCellWidth);
// PromptLines × the cell height.
int PromptHeight(std::string_view prompt, int boxWidth, int cellWidth = kCellWidth,
                 int cellHeight = kCellHeight);

// The system's texts end lines with CR LF, a text box with LF.
std::string ToBoxLines(std::string_view text);
std::string FromBoxLines(std::string_view text);

// Whether closing from the window frame must ask first: in input mode when the box
// (in its own LF lines) no longer holds the initial text.
bool AsksBeforeClosing(const TextRequest& request, std::string_view boxText);

// Fixed texts of the window, GBK.
const std::string& DisplayCloseCaption();  // "关闭(&G)"
const std::string& EmptyRestoreMessage();  // "启动值为空！"
const std::string& DiscardQuestion();      // "内容已被改动，是否要放弃？"
const std::string& MessageTitle();         // "岚舟："

}  // namespace text_request
