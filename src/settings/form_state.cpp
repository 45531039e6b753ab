// The form-state operations of ConfigStore: control states saved under the control's
// name, the kind known from the name's prefix.
#include <algorithm>

#include "core/charset.h"
#include "core/events.h"
#include "core/number_text.h"
#include "settings/config_store.h"

namespace {

struct Texts {
    std::string noSave = charset::Utf8ToGbk("禁止保存");
    std::string asBytes = charset::Utf8ToGbk("字节集方式");
    std::string tagSuffix = charset::Utf8ToGbk(".标记");
    std::string listSuffix = charset::Utf8ToGbk(".列表");
    std::string textSuffix = charset::Utf8ToGbk(".内容");
    std::string selectedSuffix = charset::Utf8ToGbk(".选中");
    std::string checkedSuffix = charset::Utf8ToGbk(".打勾");
    // Kind prefixes, in the order they are tried.
    std::string button = charset::Utf8ToGbk("按钮");
    std::string editBox = charset::Utf8ToGbk("编辑框");
    std::string checkBox = charset::Utf8ToGbk("选择框");
    std::string radio = charset::Utf8ToGbk("单选框");
    std::string combo = charset::Utf8ToGbk("组合框");
    std::string listBox = charset::Utf8ToGbk("列表框");
    std::string checkList = charset::Utf8ToGbk("选择列表框");
    std::string colour = charset::Utf8ToGbk("颜色选择器");
};
const Texts& T() {
    static const Texts texts;
    return texts;
}

// Item lists: a count, then each item's length and bytes, all lengths as 4 bytes
// little-endian. Read back only by this store.
void PutLength(std::string& out, std::size_t n) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
}
bool GetLength(std::string_view& in, std::size_t& n) {
    if (in.size() < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i) n |= std::size_t(static_cast<unsigned char>(in[i])) << (8 * i);
    in.remove_prefix(4);
    return true;
}

std::string SerializeItems(const std::vector<std::string>& items) {
    std::string out;
    PutLength(out, items.size());
    for (const auto& item : items) {
        PutLength(out, item.size());
        out += item;
    }
    return out;
}

// std::nullopt for bytes that are not an item list (a damaged side file).
std::optional<std::vector<std::string>> ParseItems(std::string_view in) {
    std::size_t count = 0;
    if (!GetLength(in, count) || count > in.size() / 4) return std::nullopt;
    std::vector<std::string> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t length = 0;
        if (!GetLength(in, length) || length > in.size()) return std::nullopt;
        items.emplace_back(in.substr(0, length));
        in.remove_prefix(length);
    }
    if (!in.empty()) return std::nullopt;
    return items;
}

std::string JoinRows(const std::vector<std::int32_t>& rows) {
    std::string out;
    for (const auto row : rows) {
        if (!out.empty()) out += ',';
        out += std::to_string(row);
    }
    return out;
}

std::vector<std::int32_t> ParseRows(std::string_view text) {
    std::vector<std::int32_t> rows;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const auto piece = text.substr(start, comma - start);
        if (!piece.empty()) rows.push_back(TextToInt(piece));
        start = comma + 1;
    }
    return rows;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool ConfigStore::SaveCheckBox(const FormControl& control) {
    return WriteLogical(control.Name(), control.Checked());
}
void ConfigStore::RestoreCheckBox(FormControl& control) {
    control.SetChecked(ReadLogical(control.Name(), control.Checked()));
}

bool ConfigStore::SaveEditBox(const FormControl& control, bool asSideFile) {
    return asSideFile ? WriteBytes(control.Name(), control.Text())
                      : WriteText(control.Name(), control.Text());
}
void ConfigStore::RestoreEditBox(FormControl& control, bool asSideFile) {
    control.SetText(asSideFile ? ReadBytes(control.Name(), control.Text())
                               : ReadText(control.Name(), control.Text()));
}

bool ConfigStore::SaveCheckList(const FormControl& control) {
    const std::string name = control.Name();
    bool ok = WriteBytes(name, SerializeItems(control.Items()));
    ok = WriteNumber(name + T().selectedSuffix, control.Index()) && ok;
    return WriteText(name + T().checkedSuffix, JoinRows(control.CheckedRows())) && ok;
}
void ConfigStore::RestoreCheckList(FormControl& control) {
    const std::string name = control.Name();
    if (const auto items = ParseItems(ReadBytes(name, SerializeItems(control.Items()))))
        control.SetItems(*items);
    control.SetIndex(TruncateToInt(ReadNumber(name + T().selectedSuffix, control.Index())));
    control.SetCheckedRows(
        ParseRows(ReadText(name + T().checkedSuffix, JoinRows(control.CheckedRows()))));
}

bool ConfigStore::SaveComboItems(const FormControl& control) {
    return WriteBytes(control.Name() + T().listSuffix, SerializeItems(control.Items()));
}
void ConfigStore::RestoreComboItems(FormControl& control) {
    const std::string key = control.Name() + T().listSuffix;
    if (const auto items = ParseItems(ReadBytes(key, SerializeItems(control.Items()))))
        control.SetItems(*items);
}

bool ConfigStore::SaveListBox(const FormControl& control) {
    const std::string name = control.Name();
    const bool ok = WriteBytes(name, SerializeItems(control.Items()));
    return WriteText(name + T().selectedSuffix, JoinRows(control.SelectedRows())) && ok;
}
void ConfigStore::RestoreListBox(FormControl& control) {
    const std::string name = control.Name();
    if (const auto items = ParseItems(ReadBytes(name, SerializeItems(control.Items()))))
        control.SetItems(*items);
    control.SetSelectedRows(
        ParseRows(ReadText(name + T().selectedSuffix, JoinRows(control.SelectedRows()))));
}

bool ConfigStore::SaveComboIndex(const FormControl& control) {
    return WriteNumber(control.Name(), control.Index());
}
void ConfigStore::RestoreComboIndex(FormControl& control) {
    control.SetIndex(TruncateToInt(ReadNumber(control.Name(), control.Index())));
}

bool ConfigStore::SaveComboText(const FormControl& control) {
    return WriteText(control.Name() + T().textSuffix, control.Text());
}
void ConfigStore::RestoreComboText(FormControl& control) {
    control.SetText(ReadText(control.Name() + T().textSuffix, control.Text()));
}

bool ConfigStore::SaveButtonTag(const FormControl& control, bool asSideFile) {
    const std::string key = control.Name() + T().tagSuffix;
    return asSideFile ? WriteBytes(key, control.Tag()) : WriteText(key, control.Tag());
}
void ConfigStore::RestoreButtonTag(FormControl& control, bool asSideFile) {
    const std::string key = control.Name() + T().tagSuffix;
    control.SetTag(asSideFile ? ReadBytes(key, control.Tag()) : ReadText(key, control.Tag()));
}

bool ConfigStore::SaveColour(const FormControl& control) {
    return WriteNumber(control.Name(), control.Colour());
}
void ConfigStore::RestoreColour(FormControl& control) {
    const double value = ReadNumber(control.Name(), control.Colour());
    control.SetColour(value > 0 && value < 4294967296.0 ? static_cast<std::uint32_t>(value) : 0);
}

bool ConfigStore::SaveRadio(const FormControl& control) {
    return WriteLogical(control.Name(), control.Checked());
}
void ConfigStore::RestoreRadio(FormControl& control) {
    control.SetChecked(ReadLogical(control.Name(), control.Checked()));
}

void ConfigStore::PersistWindow(FormWindow& window, Direction direction, std::string_view section,
                                const std::vector<std::string>& excluded, bool withItemLists,
                                bool withEditText) {
    if (!section.empty()) SelectSection(section);
    const bool save = direction == Direction::Save;
    // One publish for the whole window.
    Batch batch(*this);
    for (FormControl* control : window) {
        PumpKeepingSection();
        if (!control) continue;
        const std::string name = control->Name();
        if (name.empty()) continue;
        if (std::find(excluded.begin(), excluded.end(), name) != excluded.end()) continue;
        const Texts& t = T();
        const std::string tag = control->Tag();
        if (tag == t.noSave) continue;
        const bool asBytes = tag == t.asBytes;
        if (StartsWith(name, t.button)) {
            save ? (void)SaveButtonTag(*control, asBytes) : RestoreButtonTag(*control, asBytes);
        } else if (StartsWith(name, t.editBox)) {
            save ? (void)SaveEditBox(*control, asBytes) : RestoreEditBox(*control, asBytes);
        } else if (StartsWith(name, t.checkBox)) {
            save ? (void)SaveCheckBox(*control) : RestoreCheckBox(*control);
        } else if (StartsWith(name, t.radio)) {
            save ? (void)SaveRadio(*control) : RestoreRadio(*control);
        } else if (StartsWith(name, t.combo)) {
            if (save) {
                SaveComboIndex(*control);
                if (withItemLists) SaveComboItems(*control);
                if (withEditText) SaveComboText(*control);
            } else {
                // A real drop-down drops its selection when its items are replaced: the
                // items come first, then the index, then the edit text.
                if (withItemLists) RestoreComboItems(*control);
                RestoreComboIndex(*control);
                if (withEditText) RestoreComboText(*control);
            }
        } else if (StartsWith(name, t.listBox)) {
            save ? (void)SaveListBox(*control) : RestoreListBox(*control);
        } else if (StartsWith(name, t.checkList)) {
            save ? (void)SaveCheckList(*control) : RestoreCheckList(*control);
        } else if (StartsWith(name, t.colour)) {
            save ? (void)SaveColour(*control) : RestoreColour(*control);
        }
    }
}
