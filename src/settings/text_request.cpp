#include "settings/text_request.h"

#include "core/charset.h"
#include "core/gbk_text.h"

namespace text_request {
namespace {

struct Texts {
    std::string inputPrompt = charset::Utf8ToGbk("请输入数据：");
    std::string displayPrompt = charset::Utf8ToGbk("以下为信息详情：");
    std::string title = charset::Utf8ToGbk("岚舟：");
    std::string close = charset::Utf8ToGbk("关闭(&G)");
    std::string emptyRestore = charset::Utf8ToGbk("启动值为空！");
    std::string discard = charset::Utf8ToGbk("内容已被改动，是否要放弃？");
};

const Texts& T() {
    static const Texts texts;
    return texts;
}

}  // namespace

std::string PromptText(const TextRequest& request) {
    if (!request.prompt) return {};
    if (!request.prompt->empty()) return *request.prompt;
    return request.inputMode ? T().inputPrompt : T().displayPrompt;
}

std::string TitleText(const TextRequest& request) {
    return request.title.empty() ? T().title : request.title;
}

int PromptLines(std::string_view prompt, int boxWidth, int cellWidth) {
    const int perLine = cellWidth > 0 && boxWidth / cellWidth > 0 ? boxWidth / cellWidth : 1;
    int lines = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = prompt.find('\n', start);
        std::string_view line = prompt.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        const auto bytes = static_cast<long long>(line.size());
        lines += bytes == 0 ? 1 : static_cast<int>((bytes + perLine - 1) / perLine);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

int PromptHeight(std::string_view prompt, int boxWidth, int cellWidth, int cellHeight) {
    return cellHeight * PromptLines(prompt, boxWidth, cellWidth);
}

std::string ToBoxLines(std::string_view text) {
    return gbk::ReplaceAll(text, "\r\n", "\n");
}

std::string FromBoxLines(std::string_view text) {
    return gbk::ReplaceAll(ToBoxLines(text), "\n", "\r\n");
}

bool AsksBeforeClosing(const TextRequest& request, std::string_view boxText) {
    return request.inputMode && ToBoxLines(boxText) != ToBoxLines(request.text);
}

const std::string& DisplayCloseCaption() {
    return T().close;
}
const std::string& EmptyRestoreMessage() {
    return T().emptyRestore;
}
const std::string& DiscardQuestion() {
    return T().discard;
}
const std::string& MessageTitle() {
    return T().title;
}

}  // namespace text_request
