#include "tools/batch_tools.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <utility>

#include "article/compose_article.h"
#include "article/pinyin.h"
#include "core/charset.h"
#include "core/events.h"
#include "core/number_text.h"
#include "core/platform/paths.h"
#include "core/random.h"
#include "emlog/article_delete.h"
#include "emlog/categories.h"
#include "emlog/login.h"
#include "tools/category_lines.h"
#include "tools/tool_texts.h"

namespace {

const std::string& T(const char* utf8) {
    return ToolText(utf8);
}

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const std::string_view part : parts) out.append(part);
    return out;
}

std::string Num(std::int64_t n) {
    return std::to_string(n);
}

const char* const kScopeRadios[] = {"单选框选定", "单选框勾选", "单选框全部"};

// Marks the batch operation that runs, for as long as it runs.
class RunningMark {
public:
    RunningMark(BatchState& state, const std::string& button) : m_state(state) {
        m_state.running = button;
    }
    ~RunningMark() { m_state.running.clear(); }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    BatchState& m_state;
};

struct CategoryLine {
    std::string text;  // as entered
    std::string pid;
};

// A UTF-8 path from the file dialog: its bytes, and its name as GBK for the parent id.
bool ReadPickedFile(const std::string& utf8Path, std::string& bytes, std::string& gbkPath) {
    const std::filesystem::path native(
        std::u8string(reinterpret_cast<const char8_t*>(utf8Path.data()), utf8Path.size()));
    gbkPath = platform::GbkPath(native).value_or(charset::Utf8ToGbk(utf8Path));
    std::ifstream in(native, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Wording of the two deletions, which share their loop.
struct DeleteTexts {
    const char* button;
    const char* idle;
    const char* startBox;
    const char* endBox;
    const char* what;         // end of the question
    const char* loggingIn;    // after the domain
    const char* progressOk;   // between domain and the first count
    const char* progressBad;  // between the counts
    const char* reportOk;
};

const DeleteTexts kArticleTexts = {"按钮删除文章",     "批量删除文章", "编辑框起始ID",
                                   "编辑框终止ID",     " 的文章吗？",  " 登录中...",
                                   "\r\n 已删除成功 ", " 失败 ",       " 已删除成功 "};
const DeleteTexts kCategoryTexts = {"按钮删除分类",  "批量删除分类", "编辑框起始ID1",
                                    "编辑框终止ID1", " 的分类吗？",  "\r\n登录中...",
                                    "\r\n成功 ",     "  失败 ",      " 成功 "};

}  // namespace

BatchTools::BatchTools(SiteEditor& editor, SiteEditorView& siteView, BatchToolsView& batchView,
                       BatchState& state, std::function<bool()> isRunActive)
    : m_editor(editor),
      m_siteView(siteView),
      m_batchView(batchView),
      m_state(state),
      m_isRunActive(std::move(isRunActive)),
      m_categories(siteView, state) {}

void BatchTools::ForEachBatchSite(bool honourStop,
                                  const std::function<bool(std::int32_t row)>& operation) {
    for (std::int32_t row = 0; row < m_siteView.RowCount(); ++row) {
        PumpEvents();
        if (honourStop && m_state.batchStop) return;
        if (m_batchView.Checked(T("单选框选定"))) {
            // The editor already shows the selected row's site.
            if (row != m_siteView.SelectedRow()) continue;
        } else {
            if (m_batchView.Checked(T("单选框勾选")) && !m_siteView.RowChecked(row)) continue;
            m_siteView.SelectRow(row);
            m_editor.ShowSelectedSite();
        }
        if (!operation(row)) return;
    }
}

bool BatchTools::OtherOperationRunning(const std::string& button) {
    if (m_state.running.empty() || m_state.running == button) return false;
    m_batchView.ShowMessage(T("另一个批处理操作正在进行，请等它完成或先停止它。"), "");
    return true;
}

void BatchTools::SetScopeEnabled(bool on) {
    m_siteView.SetEnabled(T("分组框3"), on);
    for (const char* radio : kScopeRadios) m_batchView.SetEnabled(T(radio), on);
}

BatchOutcome BatchTools::BatchReadCategories() {
    BatchOutcome outcome;
    const std::string& button = T("按钮批量读取");
    const std::string& idle = T("批量读取已有站点的分类列表");
    const std::string& stopping = T("正在停止中..");
    if (m_batchView.Caption(button) != idle) {
        m_batchView.SetCaption(button, stopping);
        return outcome;
    }
    if (OtherOperationRunning(button)) return outcome;
    if (m_isRunActive && m_isRunActive()) {
        m_batchView.ShowMessage(T("站群更新正在进行，批量读取分类列表会改写站点配置，请在更新结束后"
                                  "再读取。"),
                                "");
        return outcome;
    }
    const char* scope = m_batchView.Checked(T("单选框选定"))   ? "当前网站"
                        : m_batchView.Checked(T("单选框勾选")) ? "勾选网站"
                                                               : "全部网站";
    if (!m_batchView.AskOkCancel(Cat({T("确定要读取"), T(scope), T("的分类列表？")})))
        return outcome;
    outcome.started = true;
    RunningMark mark(m_state, button);
    std::int32_t n = 0;
    ForEachBatchSite(false, [&](std::int32_t row) {
        ++n;
        if (m_batchView.Caption(button) == stopping) return false;
        m_batchView.SetCaption(button, Cat({T("正在读取第 "), Num(n), T(" 个站点")}));
        if (m_batchView.Checked(T("选择框跳过已读站点")) && !m_siteView.Tree().items.empty())
            return true;
        ++outcome.sites;
        const std::string rowText = m_siteView.RowText(row);
        const CategoryTree stored = m_siteView.Tree();
        const std::int32_t storedSelection = m_siteView.TreeSelectedIndex();
        const CategoryReadOutcome read = m_categories.ReadCategoriesForShownSite(true);
        if (read == CategoryReadOutcome::LoginFailed) ++outcome.loginFailures;
        bool saved = false;
        if (read == CategoryReadOutcome::Read) {
            if (m_batchView.Checked(T("选择框全选分类列表"))) m_categories.SetAllCategoryChecks(1);
            // Events ran during the read: write only into the row that is still this site.
            if (m_siteView.SelectedRow() == row && m_siteView.RowText(row) == rowText)
                saved = m_editor.ApplyControlsToSite(ApplyMode::Modify, row, true, true) >= 0;
        }
        if (!saved) {
            // An empty tree from a site that did not answer says nothing about its
            // categories: the stored ones stay, in the record and on screen.
            outcome.unread.push_back(rowText);
            if (read != CategoryReadOutcome::Read) {
                m_siteView.ShowTree(stored);
                m_siteView.SelectTreeItem(storedSelection);
            }
        }
        return true;
    });
    std::string message = T("批量读取完成！已经自动写入对应站点配置（无需手动点击【修改】按钮）");
    if (!outcome.unread.empty()) {
        message += T("\r\n未能读取分类列表的站点（已保留原有分类设置）：");
        for (std::size_t i = 0; i < outcome.unread.size(); ++i) {
            if (i > 0) message += T("、");
            message += outcome.unread[i];
        }
    }
    outcome.report = message;
    m_batchView.ShowMessage(message, "");
    m_batchView.SetCaption(button, idle);
    return outcome;
}

BatchOutcome BatchTools::BatchCreateCategories(bool fromFiles) {
    BatchOutcome outcome;
    const std::string& button = T("按钮创建分类");
    const std::string& idle = T("批量创建分类");
    if (m_batchView.Caption(button) != idle) {
        m_batchView.SetCaption(button, T("正在停止中.."));
        m_state.batchStop = true;
        return outcome;
    }
    if (OtherOperationRunning(button)) return outcome;
    std::vector<CategoryLine> lines;
    if (!fromFiles) {
        TextRequest request;
        request.title = T("创建分类");
        request.prompt =
            T("请输入分类名列表，一行一个，将创建在父分类ID之下，父分类ID为0则创建的分类均为顶级分"
              "类。"
              "点击确定后开始创建：\r\n（如果 每个站点创建不同分类 "
              "，则这里的分类列表循环创建于不同站点"
              "）\r\n\r\n数据格式：分类名称|分类别名|模板名称|"
              "分类描述\r\n\r\n留空的数据列均使用自动值");
        request.text = m_batchView.Text(T("编辑框分类列表"));
        const TextResult typed = m_batchView.AskText(request);
        if (!typed.ok) return outcome;
        m_batchView.SetText(T("编辑框分类列表"), typed.text);
        const std::string pid = Num(TextToInt(m_batchView.Text(T("编辑框父类ID"))));
        for (std::string& line : SplitCrLfLines(typed.text))
            lines.push_back({std::move(line), pid});
    } else {
        const std::vector<std::string> files = m_batchView.PickFiles(
            T("选择多个文件，文件名为父id，文件内容为要创建的分类列表"), "*.txt;*.txt|*.*|*.*");
        if (files.empty()) return outcome;
        for (const std::string& file : files) {
            std::string bytes, gbkPath;
            if (!ReadPickedFile(file, bytes, gbkPath)) continue;
            const std::string pid = Num(TextToInt(TitleFromFileName(gbkPath)));
            for (std::string& line : SplitCrLfLines(bytes)) lines.push_back({std::move(line), pid});
        }
    }
    outcome.started = true;
    RunningMark mark(m_state, button);
    m_state.batchStop = false;
    SetScopeEnabled(false);
    const bool different = m_batchView.Index(T("组合框分类方式")) == 1;
    std::size_t cursor = 0;  // runs on across sites in the "different" mode
    std::string report, failedReport;
    ForEachBatchSite(true, [&](std::int32_t) {
        ++outcome.sites;
        SiteConfig site = m_categories.Session(false);
        std::int32_t ok = 0, failed = 0;
        std::string failedLines;
        m_batchView.SetCaption(button, Cat({site.域名, T("\r\n登录中...")}));
        if (!Login(site, false)) {
            ++outcome.loginFailures;
            report += Cat({site.域名, T(" 登录失败\r\n")});
            return true;
        }
        const std::int32_t quota = RandomBetween(TextToInt(m_batchView.Text(T("编辑框分类数1"))),
                                                 TextToInt(m_batchView.Text(T("编辑框分类数2"))));
        std::int32_t made = 0;
        for (std::size_t j = 0; j < lines.size(); ++j) {
            PumpEvents();
            if (m_state.batchStop) break;
            const CategoryLine* line = &lines[j];
            if (different) {
                if (made >= quota) break;
                cursor = cursor + 1 > lines.size() ? 1 : cursor + 1;
                ++made;
                line = &lines[cursor - 1];
            }
            CategoryFields fields = ParseCategoryLine(line->text, line->pid);
            const std::string defaultTemplate = DefaultCategoryTemplate(site);
            if (fields.alias.empty()) fields.alias = ToPinyin(fields.name, 4, false, "");
            if (fields.templateName.empty()) fields.templateName = defaultTemplate;
            if (CreateCategory(site, fields)) {
                ++ok;
            } else {
                ++failed;
                failedLines += Cat({line->text, "\r\n"});
            }
            m_batchView.SetCaption(button, Cat({site.域名, T("\r\n成功 "), Num(ok), T(" 失败 "),
                                                Num(failed), T("；"), fields.name}));
        }
        if (!failedLines.empty())
            failedReport += Cat(
                {T("站点 "), site.域名, T(" 创建失败的分类数据：\r\n"), failedLines, "\r\n\r\n"});
        report += Cat({site.域名, T(" 成功 "), Num(ok), T(" 失败 "), Num(failed), "\r\n"});
        return true;
    });
    SetScopeEnabled(true);
    m_batchView.SetCaption(button, idle);
    outcome.report = report;
    outcome.failedCategories = failedReport;
    m_batchView.ShowMessage(report, T("全部创建完成！"));
    if (!failedReport.empty()) {
        TextRequest display;
        display.inputMode = false;
        display.title = T("失败的分类：");
        display.text = failedReport;
        m_batchView.AskText(display);
    }
    return outcome;
}

BatchOutcome BatchTools::BatchDeleteCategories() {
    return DeleteRange(false);
}

BatchOutcome BatchTools::BatchDeleteArticles() {
    return DeleteRange(true);
}

BatchOutcome BatchTools::DeleteRange(bool articles) {
    const DeleteTexts& texts = articles ? kArticleTexts : kCategoryTexts;
    BatchOutcome outcome;
    const std::string& button = T(texts.button);
    const std::string& idle = T(texts.idle);
    if (m_batchView.Caption(button) != idle) {
        m_batchView.SetCaption(button, T("正在停止中.."));
        m_state.batchStop = true;
        return outcome;
    }
    if (OtherOperationRunning(button)) return outcome;
    const std::string& startBox = T(texts.startBox);
    const std::string& endBox = T(texts.endBox);
    if (!m_batchView.AskOkCancel(Cat({T("确定要删除 ID 从 "), m_batchView.Text(startBox), T(" 到 "),
                                      m_batchView.Text(endBox), T(texts.what)})))
        return outcome;
    outcome.started = true;
    RunningMark mark(m_state, button);
    SetScopeEnabled(false);
    m_state.batchStop = false;
    std::string report;
    ForEachBatchSite(true, [&](std::int32_t) {
        ++outcome.sites;
        SiteConfig site = m_categories.Session(false);
        std::int32_t ok = 0, failed = 0;
        m_batchView.SetCaption(button, Cat({site.域名, T(texts.loggingIn)}));
        if (!Login(site, false)) {
            ++outcome.loginFailures;
            report += Cat({site.域名, T(" 登录失败\r\n")});
            return true;
        }
        // Read again: the boxes may have changed while earlier sites ran.
        const std::int64_t start = TextToInt(m_batchView.Text(startBox));
        const std::int64_t end = TextToInt(m_batchView.Text(endBox));
        const std::int64_t step = start < end ? 1 : -1;
        for (std::int64_t id = start;; id += step) {
            PumpEvents();
            if (m_state.batchStop) break;
            const bool done = articles ? DeleteArticle(site, id) : DeleteCategory(site, id);
            (done ? ok : failed) += 1;
            m_batchView.SetCaption(button, Cat({site.域名, T(texts.progressOk), Num(ok),
                                                T(texts.progressBad), Num(failed)}));
            if (articles) PumpEvents();
            if (id == end) break;
        }
        report += Cat({site.域名, T(texts.reportOk), Num(ok), T(" 失败 "), Num(failed), "\r\n"});
        return true;
    });
    m_batchView.SetCaption(button, idle);
    SetScopeEnabled(true);
    outcome.report = report;
    m_batchView.ShowMessage(report, T("全部删除完成！"));
    return outcome;
}
