#include "tools/random_text_generator.h"

#include <vector>

#include "core/charset.h"
#include "core/number_text.h"
#include "settings/config_store.h"
#include "tools/random_groups.h"
#include "tools/tool_window_view.h"

namespace {

std::string Name(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

struct Button {
    const char* name;
    const char* idleCaption;
};
constexpr Button kHanziButton = {"按钮生成汉字", "生成随机汉字"};
constexpr Button kAlnumButton = {"按钮生成数母", "生成随机数字字母"};
constexpr char kRunningCaption[] = "点我停止生成";
constexpr char kStoppingCaption[] = "正在停止中";

// The number boxes are kept under keys of their own, not under their control names.
struct NumberBox {
    const char* control;
    const char* key;
};
constexpr NumberBox kNumberBoxes[] = {
    {"编辑框字数1", "字数1"}, {"编辑框字数2", "字数2"}, {"编辑框组数", "组数"}};

const std::vector<std::string>& NotPersistedPerControl() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const char* name : {"编辑框字数1", "编辑框字数2", "编辑框组数", "编辑框结果",
                                 "按钮生成汉字", "按钮生成数母", "按钮复制结果"})
            out.push_back(charset::Utf8ToGbk(name));
        return out;
    }();
    return names;
}

std::string Section() {
    return Name("随机文本生成器");
}

}  // namespace

void RandomTextGenerator::Opened(ConfigStore& store, FormWindow& controls) {
    store.PersistWindow(controls, ConfigStore::Direction::Restore, Section(),
                        NotPersistedPerControl(), false, false);
    store.SelectSection(Section());
    for (const NumberBox& box : kNumberBoxes) {
        const std::string control = Name(box.control);
        m_view.SetText(control, store.ReadText(Name(box.key), m_view.Text(control)));
    }
}

void RandomTextGenerator::Closed(ConfigStore& store, FormWindow& controls) {
    ConfigStore::Batch batch(store);
    store.PersistWindow(controls, ConfigStore::Direction::Save, Section(), NotPersistedPerControl(),
                        false, false);
    store.SelectSection(Section());
    for (const NumberBox& box : kNumberBoxes)
        store.WriteText(Name(box.key), m_view.Text(Name(box.control)));
}

std::int32_t RandomTextGenerator::TableFromControls() const {
    if (m_view.Checked(Name("单选框最常用"))) return 0;
    if (m_view.Checked(Name("单选框一般常用"))) return 1;
    if (m_view.Checked(Name("单选框次要常用"))) return 2;
    return 0;
}

void RandomTextGenerator::GenerateHanziClicked() {
    Generate(Kind::Hanzi);
}

void RandomTextGenerator::GenerateAlnumClicked() {
    Generate(Kind::Alnum);
}

void RandomTextGenerator::CopyClicked() {
    m_view.SetClipboardText(m_view.Text(Name("编辑框结果")));
}

void RandomTextGenerator::Stop() {
    if (m_generating) m_stop = true;
}

void RandomTextGenerator::Generate(Kind kind) {
    const Button& own = kind == Kind::Hanzi ? kHanziButton : kAlnumButton;
    const Button& other = kind == Kind::Hanzi ? kAlnumButton : kHanziButton;
    const std::string button = Name(own.name);
    if (m_generating) {
        // A click while running is the stop; the other button is disabled meanwhile, so
        // only the running one gets here.
        m_view.SetCaption(button, Name(kStoppingCaption));
        m_stop = true;
        return;
    }
    m_generating = true;
    m_stop = false;
    m_view.SetCaption(button, Name(kRunningCaption));
    m_view.SetEnabled(Name(other.name), false);

    const GroupMaker maker =
        kind == Kind::Hanzi
            ? HanziGroups(TableFromControls(), m_view.Checked(Name("选择框转为繁体")))
            : AlnumGroups(
                  m_view.Checked(Name("选择框有数字")), m_view.Checked(Name("选择框有小字母")),
                  m_view.Checked(Name("选择框有大字母")), m_view.Checked(Name("选择框转为全角")));
    const std::string text = RandomGroups(
        TextToInt(m_view.Text(Name("编辑框字数1"))), TextToInt(m_view.Text(Name("编辑框字数2"))),
        TextToInt(m_view.Text(Name("编辑框组数"))), maker, [this] {
            m_view.PumpEvents();
            return m_stop;
        });

    m_view.SetText(Name("编辑框结果"), text);
    m_view.SetEnabled(Name(other.name), true);
    m_view.SetCaption(button, Name(own.idleCaption));
    m_generating = false;
}
