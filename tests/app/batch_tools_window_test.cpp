#include "app/batch_tools_window.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/file_filter.h"
#include "app/qt_text.h"
#include "app_test_support.h"
#include "settings/config_store.h"

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Harness {
    Harness() { store.Bind(G(dir.filePath(U("设置.ini")))); }
    std::unique_ptr<BatchToolsWindow> Open() {
        auto window = std::make_unique<BatchToolsWindow>(store, nullptr);
        window->Open();
        (void)QTest::qWaitForWindowExposed(window.get());
        return window;
    }
    QTemporaryDir dir;
    ConfigStore store;
};

}  // namespace

class BatchToolsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void ShowsItsControlsWithTheirDesignValues() {
        Harness h;
        auto window = h.Open();
        QCOMPARE(window->windowTitle(), U("批处理工具"));
        QVERIFY(Child<QRadioButton>(window.get(), "单选框选定")->isChecked());
        const std::pair<const char*, const char*> captions[] = {
            {"按钮批量读取", "批量读取已有站点的分类列表"},
            {"按钮批量导入", "批量导入站点"},
            {"按钮创建分类", "批量创建分类"},
            {"按钮删除分类", "批量删除分类"},
            {"按钮删除文章", "批量删除文章"},
            {"按钮汉字拼音转换器", "汉字拼音转换器"},
            {"按钮随机文本生成器", "随机文本生成器"}};
        for (const auto& [name, caption] : captions)
            QCOMPARE(window->Caption(G(U(name))), G(U(caption)));
        const std::pair<const char*, const char*> texts[] = {
            {"编辑框父类ID", "0"},  {"编辑框分类数1", "5"},   {"编辑框分类数2", "10"},
            {"编辑框起始ID1", "1"}, {"编辑框终止ID1", "500"}, {"编辑框起始ID", "1"},
            {"编辑框终止ID", "500"}};
        for (const auto& [name, text] : texts) QCOMPARE(window->Text(G(U(name))), G(U(text)));
        // The count range matters only when every site gets categories of its own.
        auto* mode = Child<QComboBox>(window.get(), "组合框分类方式");
        QVERIFY(!Child<QLineEdit>(window.get(), "编辑框分类数1")->isEnabled());
        mode->setCurrentIndex(1);
        QVERIFY(Child<QLineEdit>(window.get(), "编辑框分类数1")->isEnabled());
        QVERIFY(Child<QLineEdit>(window.get(), "编辑框分类数2")->isEnabled());
        SavePicture(window.get(), QStringLiteral("batch-tools-window"));
    }

    void KeepsItsStatesFromOneOpeningToTheNext() {
        Harness h;
        const std::string importText = G(U("a.com|admin|pw\r\nb.com|admin|pw\r\n"));
        {
            auto window = h.Open();
            Child<QRadioButton>(window.get(), "单选框全部")->setChecked(true);
            Child<QComboBox>(window.get(), "组合框分类方式")->setCurrentIndex(1);
            window->SetText(G(U("编辑框终止ID")), "42");
            window->SetText(G(U("编辑框域名列表")), importText);
            window->SetText(G(U("编辑框分类列表")), G(U("新闻|news\r\n体育")));
            window->close();
        }
        auto window = h.Open();
        QVERIFY(window->Checked(G(U("单选框全部"))));
        QVERIFY(!window->Checked(G(U("单选框选定"))));
        QCOMPARE(window->Index(G(U("组合框分类方式"))), 1);
        QVERIFY(Child<QLineEdit>(window.get(), "编辑框分类数1")->isEnabled());
        QCOMPARE(window->Text(G(U("编辑框终止ID"))), std::string("42"));
        QCOMPARE(window->Text(G(U("编辑框域名列表"))), importText);
        QCOMPARE(window->Text(G(U("编辑框分类列表"))), G(U("新闻|news\r\n体育")));
        // The import text is a side file of its own, not a key of the section.
        h.store.SelectSection(G(U("批处理工具")));
        QCOMPARE(h.store.ReadBytes(G(U("编辑框域名列表")), "-"), importText);
    }

    void CreatesFromFilesOnARightButtonRelease() {
        Harness h;
        auto window = h.Open();
        QList<bool> calls;
        BatchToolsWindow::Actions actions;
        actions.createCategories = [&](bool fromFiles) { calls << fromFiles; };
        window->SetActions(actions);
        auto* button = Child<QPushButton>(window.get(), "按钮创建分类");
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::RightButton);
        QCOMPARE(calls, (QList<bool>{false, true}));
    }

    void ShowsTwoLineCaptionsAndReadsThemBack() {
        Harness h;
        auto window = h.Open();
        const std::string caption = G(U("a.com\r\n成功 1 失败 0；新闻"));
        window->SetCaption(G(U("按钮创建分类")), caption);
        QCOMPARE(Child<QPushButton>(window.get(), "按钮创建分类")->text(),
                 U("a.com\n成功 1 失败 0；新闻"));
        QCOMPARE(window->Caption(G(U("按钮创建分类"))), caption);
    }

    void TurnsTheProgramsFiltersIntoQtOnes() {
        const std::pair<const char*, const char*> cases[] = {
            {"配置文件|*.ini|全部文件|*.*", "配置文件 (*.ini);;全部文件 (*)"},
            {"*.txt;*.txt|*.*|*.*", "*.txt;*.txt (*.txt);;*.* (*)"},
            {"文本|*.txt; *.htm", "文本 (*.txt *.htm)"},
            {"", ""},
        };
        for (const auto& [filter, qt] : cases) QCOMPARE(QtFileFilter(G(U(filter))), U(qt));
    }
};

static RegisterAppTest<BatchToolsWindowTest> registered;

#include "batch_tools_window_test.moc"
