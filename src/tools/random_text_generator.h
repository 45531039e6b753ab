#pragma once

#include <cstdint>
#include <string>

#include "settings/form_control.h"

class ConfigStore;
class ToolWindowView;

// The window "随机文本生成器": groups of random hanzi or of digits and letters, one a line.
// A generation runs on the window's thread, letting the window handle its events between
// groups; the button that started it stops it (after the group being made) and the other
// generate button waits disabled. The output box is written once, when the generation
// ends. The window's choices persist in the section "随机文本生成器".
class RandomTextGenerator {
public:
    explicit RandomTextGenerator(ToolWindowView& view) : m_view(view) {}

    // Window created and closed: the check boxes, the table options and the three number
    // boxes (under the keys 字数1, 字数2 and 组数) from and into the settings file.
    void Opened(ConfigStore& store, FormWindow& controls);
    void Closed(ConfigStore& store, FormWindow& controls);

    void GenerateHanziClicked();
    void GenerateAlnumClicked();
    void CopyClicked();

    // Ends a running generation after its current group (the window closes).
    void Stop();
    bool Generating() const { return m_generating; }
    // The table the options choose: 0 最常用, 1 一般常用, 2 次要常用.
    std::int32_t TableFromControls() const;

private:
    enum class Kind { Hanzi, Alnum };
    void Generate(Kind kind);

    ToolWindowView& m_view;
    bool m_stop = false;
    bool m_generating = false;
};
