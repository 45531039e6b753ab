#pragma once

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/charset.h"
#include "settings/form_control.h"
#include "tools/tool_window_view.h"

inline std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

// A tool window kept in memory: controls by name (given in UTF-8, kept in GBK as the core
// names them), the clipboard, and what a pump of the window's events does.
class MemoryToolView : public ToolWindowView {
public:
    struct Control {
        std::string text;
        bool checked = false;
        bool enabled = true;
        std::string caption;
    };

    // Controls in the window's order: a check box or radio button with its state, an
    // edit box with its text, a button with its caption.
    void Add(const char* utf8Name, bool checked = false, const char* utf8Text = "") {
        const std::string name = G(utf8Name);
        m_order.push_back(name);
        Control& c = m_controls[name];
        c.checked = checked;
        const std::string text = G(utf8Text);
        if (name.rfind(G("按钮"), 0) == 0)
            c.caption = text;
        else
            c.text = text;
    }
    Control& At(const char* utf8Name) { return m_controls.at(G(utf8Name)); }

    std::string Text(const std::string& control) const override { return Get(control).text; }
    void SetText(const std::string& control, const std::string& text) override {
        Get(control).text = text;
        ++m_writes[control];
    }
    bool Checked(const std::string& control) const override { return Get(control).checked; }
    void SetEnabled(const std::string& control, bool on) override { Get(control).enabled = on; }
    std::string Caption(const std::string& button) const override { return Get(button).caption; }
    void SetCaption(const std::string& button, const std::string& caption) override {
        Get(button).caption = caption;
    }
    std::string ClipboardText() const override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void PumpEvents() override {
        ++pumps;
        if (onPump) onPump();
    }

    int Writes(const char* utf8Name) const {
        const auto it = m_writes.find(G(utf8Name));
        return it == m_writes.end() ? 0 : it->second;
    }

    // The controls as the settings file's per-window save sees them.
    FormWindow& Form() {
        if (m_form.empty())
            for (const std::string& name : m_order) {
                m_adapters.push_back(std::make_unique<Adapter>(name, m_controls[name]));
                m_form.push_back(m_adapters.back().get());
            }
        return m_form;
    }

    std::string clipboard;
    int pumps = 0;
    std::function<void()> onPump;

private:
    class Adapter : public FormControl {
    public:
        Adapter(std::string name, Control& control) : m_name(std::move(name)), m_c(control) {}
        std::string Name() const override { return m_name; }
        bool Checked() const override { return m_c.checked; }
        void SetChecked(bool on) override { m_c.checked = on; }
        std::string Text() const override { return m_c.text; }
        void SetText(const std::string& text) override { m_c.text = text; }

    private:
        std::string m_name;
        Control& m_c;
    };

    Control& Get(const std::string& name) { return m_controls.at(name); }
    const Control& Get(const std::string& name) const { return m_controls.at(name); }

    std::vector<std::string> m_order;
    std::map<std::string, Control> m_controls;
    std::map<std::string, int> m_writes;
    std::vector<std::unique_ptr<Adapter>> m_adapters;
    FormWindow m_form;
};

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qingluan-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
