#include "tools/memory_batch_tools_view.h"

#include "tools/tool_texts.h"

MemoryBatchToolsView::MemoryBatchToolsView() {
    const std::pair<const char*, const char*> designTexts[] = {
        {"编辑框父类ID", "0"},   {"编辑框分类数1", "5"},   {"编辑框分类数2", "10"},
        {"编辑框起始ID1", "1"},  {"编辑框终止ID1", "500"}, {"编辑框起始ID", "1"},
        {"编辑框终止ID", "500"}, {"编辑框分类列表", ""},
    };
    for (const auto& [control, text] : designTexts) texts[ToolText(control)] = ToolText(text);
    const std::pair<const char*, const char*> designCaptions[] = {
        {"按钮批量读取", "批量读取已有站点的分类列表"},
        {"按钮批量导入", "批量导入站点"},
        {"按钮创建分类", "批量创建分类"},
        {"按钮删除分类", "批量删除分类"},
        {"按钮删除文章", "批量删除文章"},
    };
    for (const auto& [button, caption] : designCaptions)
        captions[ToolText(button)] = ToolText(caption);
    ChooseScope(ToolText("单选框选定"));
    indices[ToolText("组合框分类方式")] = 0;
}

void MemoryBatchToolsView::ChooseScope(const std::string& radio) {
    for (const char* name : {"单选框选定", "单选框勾选", "单选框全部"})
        checks[ToolText(name)] = ToolText(name) == radio;
}

std::string MemoryBatchToolsView::Text(const std::string& control) const {
    const auto it = texts.find(control);
    return it == texts.end() ? std::string() : it->second;
}

void MemoryBatchToolsView::SetText(const std::string& control, const std::string& text) {
    texts[control] = text;
}

bool MemoryBatchToolsView::Checked(const std::string& control) const {
    const auto it = checks.find(control);
    return it != checks.end() && it->second;
}

std::int32_t MemoryBatchToolsView::Index(const std::string& control) const {
    const auto it = indices.find(control);
    return it == indices.end() ? 0 : it->second;
}

std::string MemoryBatchToolsView::Caption(const std::string& button) const {
    const auto it = captions.find(button);
    return it == captions.end() ? std::string() : it->second;
}

void MemoryBatchToolsView::SetCaption(const std::string& button, const std::string& caption) {
    captions[button] = caption;
}

bool MemoryBatchToolsView::Enabled(const std::string& control) const {
    const auto it = enabled.find(control);
    return it == enabled.end() || it->second;
}

void MemoryBatchToolsView::ShowMessage(const std::string& text, const std::string& title) {
    messages.push_back({text, title});
}

bool MemoryBatchToolsView::AskOkCancel(const std::string& text) {
    questions.push_back(text);
    return answer ? answer(text) : true;
}

TextResult MemoryBatchToolsView::AskText(const TextRequest& request, bool ownerless) {
    textRequests.push_back(request);
    textOwnerless.push_back(ownerless);
    return textAnswer ? textAnswer(request) : TextResult{};
}

std::vector<std::string> MemoryBatchToolsView::PickFiles(const std::string& title,
                                                         const std::string&) {
    pickTitles.push_back(title);
    return pickedFiles;
}
