#pragma once

#include <string>

// What the pinyin converter and the random text generator read and write of their
// windows: controls by control name (编辑框汉字, 选择框首拼模式, 按钮生成汉字, …), the buttons'
// captions, which are the generation's state, and the clipboard. The windows map it to
// their widgets; the tests keep it in memory. Texts and names are GBK.
class ToolWindowView {
public:
    virtual ~ToolWindowView() = default;

    virtual std::string Text(const std::string& control) const = 0;  // edit boxes
    virtual void SetText(const std::string& control, const std::string& text) = 0;
    virtual bool Checked(const std::string& control) const = 0;  // check boxes, radio buttons
    virtual void SetEnabled(const std::string& control, bool on) = 0;
    virtual std::string Caption(const std::string& button) const = 0;
    virtual void SetCaption(const std::string& button, const std::string& caption) = 0;

    virtual std::string ClipboardText() const = 0;
    virtual void SetClipboardText(const std::string& text) = 0;

    // Lets the window handle its pending events in the middle of a long generation, so
    // that a click on the running button can stop it.
    virtual void PumpEvents() = 0;
};
