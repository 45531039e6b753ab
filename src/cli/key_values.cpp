#include "cli/key_values.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <type_traits>

#include "core/charset.h"
#include "core/gbk_text.h"
#include "core/number_text.h"

namespace {

std::string Utf8(std::string_view gbk) {
    return charset::GbkToUtf8(gbk);
}

bool IsSettable(const SiteKeyControl& key) {
    return !key.control.empty();
}

std::string SettableKeys() {
    std::string out;
    for (const auto& key : SiteKeyControls())
        if (IsSettable(key)) out += (out.empty() ? "" : ", ") + Utf8(key.key);
    return out;
}

std::string Captions(const SiteKeyControl& key) {
    std::string out;
    for (std::size_t i = 0; i < key.captions.size(); ++i)
        out += (i ? ", " : "") + std::to_string(i) + " " + Utf8(key.captions[i]);
    return out;
}

// What a value of the key's type looks like, for help and errors.
std::string Takes(const SiteKeyControl& key) {
    switch (key.type) {
        case SiteValueType::Logical:
            return "真/假 or true/false";
        case SiteValueType::Text:
            return "one line of text";
        case SiteValueType::Lines:
            return "lines, with a literal \\n or a | between them";
        case SiteValueType::Integer:
            return "a whole number";
        case SiteValueType::Real:
            return "a number of seconds such as 0.5";
        case SiteValueType::Choice:
            return "an index or caption: " + Captions(key);
        case SiteValueType::Bytes:
            break;
    }
    return "";
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string Quoted(std::string_view gbk) {
    std::string out = "\"";
    for (const char c : Utf8(gbk))
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out + "\"";
}

bool SplitKeyValue(const std::string& utf8Arg, std::string& gbkKey, std::string& gbkValue,
                   std::string& error) {
    const auto equals = utf8Arg.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = Quoted(charset::Utf8ToGbk(utf8Arg)) + " is not KEY=VALUE";
        return false;
    }
    const auto key = charset::Utf8ToGbkStrict(utf8Arg.substr(0, equals));
    const auto value = charset::Utf8ToGbkStrict(utf8Arg.substr(equals + 1));
    if (!key || !value) {
        error = Quoted(charset::Utf8ToGbk(utf8Arg)) + " has characters outside GBK";
        return false;
    }
    gbkKey = *key;
    gbkValue = *value;
    return true;
}

std::optional<bool> ParseLogical(std::string_view text) {
    static const std::string yes = charset::Utf8ToGbk("真");
    static const std::string no = charset::Utf8ToGbk("假");
    const std::string lower = gbk::AsciiLower(text);
    if (text == yes || lower == "true") return true;
    if (text == no || lower == "false") return false;
    return std::nullopt;
}

// A number as from_chars reads it, with an optional "+" before a digit or a point.
template <typename Number>
bool ReadWhole(std::string_view text, Number& value) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) ||
                          text.front() == '-' || text.front() == '.'))
        return false;  // no blanks, "inf" or "nan"
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<Number>)
        result = std::from_chars(text.data(), text.data() + text.size(), value,
                                 std::chars_format::general);
    else
        result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Checked against the edit box's own reading too, so the window would see the same number.
bool IsWholeNumber(std::string_view text) {
    std::int32_t value = 0;
    return ReadWhole(text, value) && TextToInt(text) == value;
}

bool IsRealNumber(std::string_view text, bool singlePrecision) {
    double value = 0;
    return ReadWhole(text, value) && std::isfinite(value) &&
           (!singlePrecision || std::fabs(value) <= FLT_MAX) && TextToNumber(text) == value;
}

std::optional<std::int32_t> ParseChoice(std::string_view text,
                                        const std::vector<std::string>& captions) {
    const std::string lower = gbk::AsciiLower(text);
    for (std::size_t i = 0; i < captions.size(); ++i)
        if (lower == gbk::AsciiLower(captions[i])) return static_cast<std::int32_t>(i);
    if (text.empty() || text.size() > 3) return std::nullopt;
    for (const char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    const int index = std::stoi(std::string(text));
    if (index >= static_cast<int>(captions.size())) return std::nullopt;
    return index;
}

std::string TagLines(std::string_view text) {
    std::string out;
    // By characters: "|" and "\" can be the second byte of a GBK character.
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = gbk::CharLength(text, i);
        const std::string_view ch = text.substr(i, length);
        if (ch == "|" || ch == "\n") {
            out += "\r\n";
        } else if (ch == "\r") {
            out += "\r\n";
            if (text.substr(i + 1, 1) == "\n") ++i;
        } else if (ch == "\\" && text.substr(i + 1, 1) == "n") {
            out += "\r\n";
            ++i;
        } else {
            out += ch;
        }
        i += length;
    }
    return out;
}

bool ParseSiteEdit(const std::string& utf8Arg, SiteControlEdit& edit, std::string& error) {
    std::string key, value;
    if (!SplitKeyValue(utf8Arg, key, value, error)) return false;
    const SiteKeyControl* found = nullptr;
    for (const auto& entry : SiteKeyControls())
        if (entry.key == key) found = &entry;
    if (!found) {
        error = "unknown key " + Quoted(key) + "; the keys are " + SettableKeys();
        return false;
    }
    if (!IsSettable(*found)) {
        error = Utf8(key) + (found->type == SiteValueType::Logical
                                 ? " is the row's check box: use sites enable or sites disable"
                                 : " comes from the category tree and cannot be set");
        return false;
    }
    edit = {found, value, 0, false};
    bool ok = true;
    switch (found->type) {
        case SiteValueType::Logical:
            if (const auto flag = ParseLogical(value))
                edit.checked = *flag;
            else
                ok = false;
            break;
        case SiteValueType::Text:
            ok = !HasLineBreak(value);
            break;
        case SiteValueType::Lines:
            edit.text = TagLines(value);
            break;
        case SiteValueType::Integer:
            ok = IsWholeNumber(value);
            break;
        case SiteValueType::Real:
            ok = IsRealNumber(value, true);
            break;
        case SiteValueType::Choice:
            if (const auto index = ParseChoice(value, found->captions))
                edit.index = *index;
            else
                ok = false;
            break;
        case SiteValueType::Bytes:
            ok = false;
            break;
    }
    if (!ok) error = Utf8(key) + " takes " + Takes(*found) + ", not " + Quoted(value);
    return ok;
}

void ApplySiteEdit(const SiteControlEdit& edit, SiteEditorView& view) {
    const std::string& control = edit.key->control;
    switch (edit.key->type) {
        case SiteValueType::Logical:
            view.SetChecked(control, edit.checked);
            break;
        case SiteValueType::Lines:
            view.SetTag(control, edit.text);
            break;
        case SiteValueType::Choice:
            view.SetIndex(control, edit.index);
            break;
        case SiteValueType::Text:
        case SiteValueType::Integer:
        case SiteValueType::Real:
            view.SetText(control, edit.text);
            break;
        case SiteValueType::Bytes:
            break;
    }
}

std::string SiteKeysHelp() {
    std::string out = "KEY=VALUE sets a site key as its control in the window would:\n";
    for (const auto& key : SiteKeyControls())
        if (IsSettable(key)) out += "  " + Utf8(key.key) + ": " + Takes(key) + "\n";
    out +=
        "启用 is set with sites enable and sites disable; 分类数据, 分类ID and 分类选择项 come "
        "from the category tree.\n\n";
    return out;
}
