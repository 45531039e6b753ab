#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/form_control.h"

class ConfigStore;
class ToolWindowView;

// How the pinyin converter converts: a case mode of ToPinyin (1 first syllable
// capitalised … 4 lower case), initials only, and the clean-up that keeps only ASCII
// letters (and, as chosen, spaces and line breaks).
struct PinyinConversion {
    std::int32_t caseMode = 2;
    bool initialsOnly = false;
    bool lettersOnly = true;
    bool keepSpaces = false;
    bool keepLineBreaks = true;
};

// The text with every character removed that is not an ASCII letter, a space (when
// kept) or CR or LF (when kept). Characters are GBK characters: a double-byte one goes as
// a whole, also when its second byte looks like a letter.
std::string KeepOnlyLetters(std::string_view text, bool keepSpaces, bool keepLineBreaks);

// ToPinyin with syllables separated by one space, then the clean-up when chosen.
std::string ConvertToPinyin(std::string_view text, const PinyinConversion& conversion);

// The window "汉字拼音转换器": its buttons and the state it keeps in the section
// "汉字拼音转换器" of the settings file (the case options, 首拼模式, 清除非字母 and 保留空格;
// not 保留换行 and not the texts).
class PinyinConverter {
public:
    explicit PinyinConverter(ToolWindowView& view) : m_view(view) {}

    // Window created: the saved states into the controls, then the enabling rule.
    void Opened(ConfigStore& store, FormWindow& controls);
    // Window closed: the states into the settings file.
    void Closed(ConfigStore& store, FormWindow& controls);

    void ConvertClicked();
    void PasteClicked();
    void CopyClicked();
    // 清除非字母 clicked: 保留空格 and 保留换行 only count, and are enabled, with it.
    void LettersOnlyClicked();

    // The conversion the controls ask for.
    PinyinConversion FromControls() const;

private:
    ToolWindowView& m_view;
};
