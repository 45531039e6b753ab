#pragma once

#include <string>

#include "tools/tool_window_view.h"

class QWidget;

// A tool window's widgets as its core object sees them: controls found by object name
// (the control names), one-line and multi-line edit boxes, check boxes and radio
// buttons, buttons with their captions, the system clipboard.
class QtToolView : public ToolWindowView {
public:
    explicit QtToolView(QWidget* window) : m_window(window) {}

    std::string Text(const std::string& control) const override;
    void SetText(const std::string& control, const std::string& text) override;
    bool Checked(const std::string& control) const override;
    void SetEnabled(const std::string& control, bool on) override;
    std::string Caption(const std::string& button) const override;
    void SetCaption(const std::string& button, const std::string& caption) override;
    std::string ClipboardText() const override;
    void SetClipboardText(const std::string& text) override;
    void PumpEvents() override;

private:
    QWidget* Find(const std::string& control) const;

    QWidget* m_window;
};
