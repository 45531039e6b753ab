#include "tools/batch_import.h"

#include <cstddef>
#include <optional>

#include "core/events.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "settings/site_file.h"
#include "settings/text_request.h"
#include "tools/tool_texts.h"

namespace {

const std::string& G(const char* utf8) {
    return ToolText(utf8);
}

struct Names {
    std::string button = G("按钮批量导入");
    std::string idle = G("批量导入站点");
    std::string stopping = G("正在停止中..");
    std::string remembered = G("编辑框域名列表");
    std::string readCategories = G("选择框读取分类列表");
    std::string checkAll = G("选择框全选分类列表");
    std::string domainBox = G("编辑框域名");
    std::string userBox = G("编辑框用户");
    std::string passwordBox = G("编辑框密码");
    std::string charsetBox = G("组合框编码");
    std::string yes = G("真");
};
const Names& N() {
    static const Names names;
    return names;
}

// Splits at `sep`. With walkGbk the search steps over double-byte characters: "|" (0x7C)
// is also the trail byte of some, which must not be cut in half. CR LF is never part
// of a character, and a stray lead byte must not swallow a line break, so lines are
// split byte by byte.
std::vector<std::string> SplitDroppingEmptyLast(std::string_view text, std::string_view sep,
                                                bool walkGbk) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, sep.size()) == sep) {
            parts.emplace_back(text.substr(start, i - start));
            i = start = i + sep.size();
        } else {
            i += walkGbk ? gbk::CharLength(text, i) : 1;
        }
    }
    if (start < text.size()) parts.emplace_back(text.substr(start));
    return parts;
}

// Fields 2 to 13 of a line, each put into the new record when it is not empty.
using FieldSetter = void (*)(SiteConfig&, const std::string&);
bool IsTrue(const std::string& field) {
    return field == N().yes;  // "1" and "true" are false, as in the settings file
}
const FieldSetter kFieldSetters[] = {
    [](SiteConfig& s, const std::string& f) { s.用户 = f; },
    [](SiteConfig& s, const std::string& f) { s.密码 = f; },
    [](SiteConfig& s, const std::string& f) { s.编码 = TextToInt(f); },
    [](SiteConfig& s, const std::string& f) { s.后台 = f; },
    [](SiteConfig& s, const std::string& f) { s.文章目录 = f; },
    [](SiteConfig& s, const std::string& f) { s.文件过滤 = f; },
    [](SiteConfig& s, const std::string& f) { s.文件编码 = TextToInt(f); },
    [](SiteConfig& s, const std::string& f) { s.更新数量 = TextToInt(f); },
    [](SiteConfig& s, const std::string& f) { s.删除已更新文章 = IsTrue(f); },
    [](SiteConfig& s, const std::string& f) { s.间隔秒1 = SaturateToFloat(TextToNumber(f)); },
    [](SiteConfig& s, const std::string& f) { s.首行标题 = IsTrue(f); },
    [](SiteConfig& s, const std::string& f) { s.段落标签 = IsTrue(f); },
};
constexpr std::size_t kFields = 1 + std::size(kFieldSetters);

class BatchImport {
public:
    BatchImport(const BatchImportWindows& windows, const BatchImportHooks& hooks)
        : m_w(windows), m_hooks(hooks) {}

    BatchImportSummary Run() {
        BatchImportSummary summary;
        const auto text = AskForLines();
        if (!text) {
            summary.outcome = BatchImportOutcome::Cancelled;
            return summary;
        }
        const std::vector<std::string> lines = SplitImportLines(*text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (Caption() == N().stopping) break;
            // A run started meanwhile (the scheduler) holds the records from now on.
            if (RunActive()) break;
            SetCaption(G("已导入 ") + std::to_string(i + 1) + G(" 个站点"));
            PumpEvents();
            if (ImportLine(lines[i]))
                ++summary.imported;
            else
                summary.failures += lines[i] + "\r\n";
        }
        m_w.editor.UpdateListTitle();
        m_w.tools.ShowMessage(G("导入完成：导入了 ") + std::to_string(summary.imported) +
                                  G(" 个站点，现在总共有 ") + std::to_string(m_w.sites.size()) +
                                  G(" 个站点"),
                              {});
        if (!summary.failures.empty()) {
            TextRequest failed;
            failed.text = summary.failures;
            failed.title = G("这是导入失败的站点信息：");
            failed.inputMode = false;
            m_w.tools.AskText(failed, true);
        }
        SetCaption(N().idle);
        return summary;
    }

    bool RunActive() const { return m_hooks.isRunActive && m_hooks.isRunActive(); }

private:
    std::string Caption() const { return m_w.tools.Caption(N().button); }
    void SetCaption(const std::string& caption) { m_w.tools.SetCaption(N().button, caption); }

    std::optional<std::string> AskForLines() {
        TextRequest request;
        request.text = m_w.tools.Text(N().remembered);
        request.prompt = BatchImportHelp();
        request.title = N().idle;
        request.width = 700;
        const TextResult result = m_w.tools.AskText(request);
        if (!result.ok) return std::nullopt;
        m_w.tools.SetText(N().remembered, result.text);
        return result.text;
    }

    // Adds one line's site; false when the editor refused it (a missing domain, user or
    // password, or a row text already in the list).
    bool ImportLine(const std::string& line) {
        std::vector<std::string> fields = SplitImportFields(line);
        fields.resize(kFields);  // missing trailing fields are empty; extra ones ignored
        SiteEditorView& main = m_w.main;
        main.SetText(N().domainBox, fields[0]);
        main.SetText(N().userBox, fields[1]);
        main.SetText(N().passwordBox, fields[2]);
        if (!fields[3].empty()) main.SetIndex(N().charsetBox, TextToInt(fields[3]));
        PumpEvents();
        const std::int32_t row = m_w.editor.ApplyControlsToSite(ApplyMode::Add, -1, false, true);
        if (row < 0 || static_cast<std::size_t>(row) >= m_w.sites.size()) return false;
        SiteConfig& site = m_w.sites[static_cast<std::size_t>(row)];
        for (std::size_t f = 1; f < kFields; ++f)
            if (!fields[f].empty()) kFieldSetters[f - 1](site, fields[f]);
        m_w.editor.ShowSelectedSite();
        ReadCategories();
        PumpEvents();
        // Stores what the controls now show, the categories just read included.
        m_w.editor.ApplyControlsToSite(ApplyMode::Modify, row, true, true);
        return true;
    }

    void ReadCategories() {
        if (m_w.tools.Checked(N().readCategories) && m_hooks.readCategoriesForShownSite)
            m_hooks.readCategoriesForShownSite(true);
        if (m_w.tools.Checked(N().checkAll) && m_hooks.setAllCategoryChecks)
            m_hooks.setAllCategoryChecks(1);
    }

    const BatchImportWindows& m_w;
    const BatchImportHooks& m_hooks;
};

}  // namespace

const std::string& BatchImportHelp() {
    static const std::string help =
        G("一行一个站点配置，每个站点配置的不同参数以‘|’隔开\r\n\r\n"
          "格式：域名|用户|密码|编码|后台目录|文章目录|文件过滤|文件编码|更新数量|删除已更新文章|"
          "每篇间隔秒|文章首行当标题|加网页段落标签\r\n"
          "例子：www.example.com|admin|mirtle|0|admin|C:\\用于更新的文章所在目录|*.*|0|0|真|0.01|"
          "假|假\r\n\r\n"
          "（留空的参数将默认使用主界面的当前设定值；复选框的值，打勾为‘真’，不打勾为‘假’；"
          "弹出框的值，从 0 开始按顺序；导入期间请不要操作主界面）");
    return help;
}

std::vector<std::string> SplitImportLines(std::string_view text) {
    return SplitDroppingEmptyLast(text, "\r\n", false);
}

std::vector<std::string> SplitImportFields(std::string_view line) {
    return SplitDroppingEmptyLast(line, "|", true);
}

BatchImportSummary BatchImportSites(const BatchImportWindows& windows,
                                    const BatchImportHooks& hooks) {
    BatchImportSummary summary;
    if (windows.tools.Caption(N().button) != N().idle) {
        // Seen by the running import before its next line.
        windows.tools.SetCaption(N().button, N().stopping);
        summary.outcome = BatchImportOutcome::StopRequested;
        return summary;
    }
    BatchImport import(windows, hooks);
    if (import.RunActive()) {
        windows.tools.ShowMessage(RunActiveRefusal(G("批量导入站点")), {});
        summary.outcome = BatchImportOutcome::Refused;
        return summary;
    }
    return import.Run();
}
