#include "tools/pinyin_converter.h"

#include <vector>

#include "article/pinyin.h"
#include "core/charset.h"
#include "core/gbk_text.h"
#include "settings/config_store.h"
#include "tools/tool_window_view.h"

namespace {

std::string Name(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Not saved: the texts, the buttons (they have no tag), and 保留换行, which starts each
// time checked.
const std::vector<std::string>& NotSaved() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const char* name : {"编辑框汉字", "编辑框结果", "按钮粘贴汉字", "按钮转换拼音",
                                 "按钮复制结果", "选择框保留换行"})
            out.push_back(charset::Utf8ToGbk(name));
        return out;
    }();
    return names;
}

}  // namespace

std::string KeepOnlyLetters(std::string_view text, bool keepSpaces, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = gbk::CharLength(text, pos);
        if (length == 1) {
            const char c = text[pos];
            if (IsAsciiLetter(c) || (keepSpaces && c == ' ') ||
                (keepLineBreaks && (c == '\r' || c == '\n')))
                out.push_back(c);
        }
        pos += length;
    }
    return out;
}

std::string ConvertToPinyin(std::string_view text, const PinyinConversion& conversion) {
    std::string result = ToPinyin(text, conversion.caseMode, conversion.initialsOnly, " ");
    if (conversion.lettersOnly)
        result = KeepOnlyLetters(result, conversion.keepSpaces, conversion.keepLineBreaks);
    return result;
}

void PinyinConverter::Opened(ConfigStore& store, FormWindow& controls) {
    store.PersistWindow(controls, ConfigStore::Direction::Restore, Name("汉字拼音转换器"),
                        NotSaved(), false, false);
    LettersOnlyClicked();
}

void PinyinConverter::Closed(ConfigStore& store, FormWindow& controls) {
    store.PersistWindow(controls, ConfigStore::Direction::Save, Name("汉字拼音转换器"), NotSaved(),
                        false, false);
}

PinyinConversion PinyinConverter::FromControls() const {
    PinyinConversion c;
    if (m_view.Checked(Name("单选框全部小写")))
        c.caseMode = static_cast<std::int32_t>(PinyinCase::Lower);
    else if (m_view.Checked(Name("单选框全部大写")))
        c.caseMode = static_cast<std::int32_t>(PinyinCase::Upper);
    else if (m_view.Checked(Name("单选框拼音首大写")))
        c.caseMode = static_cast<std::int32_t>(PinyinCase::EverySyllable);
    else
        c.caseMode = static_cast<std::int32_t>(PinyinCase::FirstSyllable);
    c.initialsOnly = m_view.Checked(Name("选择框首拼模式"));
    c.lettersOnly = m_view.Checked(Name("选择框清除非字母"));
    c.keepSpaces = m_view.Checked(Name("选择框保留空格"));
    c.keepLineBreaks = m_view.Checked(Name("选择框保留换行"));
    return c;
}

void PinyinConverter::ConvertClicked() {
    m_view.SetText(Name("编辑框结果"),
                   ConvertToPinyin(m_view.Text(Name("编辑框汉字")), FromControls()));
}

void PinyinConverter::PasteClicked() {
    m_view.SetText(Name("编辑框汉字"), m_view.ClipboardText());
}

void PinyinConverter::CopyClicked() {
    m_view.SetClipboardText(m_view.Text(Name("编辑框结果")));
}

void PinyinConverter::LettersOnlyClicked() {
    const bool on = m_view.Checked(Name("选择框清除非字母"));
    m_view.SetEnabled(Name("选择框保留换行"), on);
    m_view.SetEnabled(Name("选择框保留空格"), on);
}
