#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/text_request.h"

// What the batch operations read and write of the batch tools window: its controls by
// control name (单选框选定, 编辑框起始ID, 按钮删除文章, …), its buttons' captions, which are
// the operations' states, and the dialogs they open. The window maps it to its widgets;
// the command line and the tests keep it in memory. The main window's side (site rows,
// editor, category tree, 分组框3) goes through its SiteEditorView. Texts are GBK.
class BatchToolsView {
public:
    virtual ~BatchToolsView() = default;

    virtual std::string Text(const std::string& control) const = 0;
    virtual void SetText(const std::string& control, const std::string& text) = 0;
    virtual bool Checked(const std::string& control) const = 0;  // check boxes, radio buttons
    virtual std::int32_t Index(const std::string& control) const = 0;  // drop-downs
    virtual std::string Caption(const std::string& button) const = 0;
    virtual void SetCaption(const std::string& button, const std::string& caption) = 0;
    virtual void SetEnabled(const std::string& control, bool on) = 0;

    // A message box with OK; an empty title is the program's default one.
    virtual void ShowMessage(const std::string& text, const std::string& title) = 0;
    // A question with OK and Cancel: true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
    // The text dialog in either mode, over the main window unless `ownerless`.
    virtual TextResult AskText(const TextRequest& request, bool ownerless = false) = 0;
    // A dialog that picks several existing files (UTF-8 paths as the system gives them);
    // none when it was cancelled.
    virtual std::vector<std::string> PickFiles(const std::string& title,
                                               const std::string& filter) = 0;
};
