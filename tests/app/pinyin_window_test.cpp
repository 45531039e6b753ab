#include "app/pinyin_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/qt_text.h"
#include "app_test_support.h"
#include "settings/config_store.h"

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

class PinyinWindowTest : public QObject {
    Q_OBJECT

    QPlainTextEdit* Box(const char* name) { return Child<QPlainTextEdit>(m_window.get(), name); }
    QAbstractButton* Button(const char* name) {
        return Child<QAbstractButton>(m_window.get(), name);
    }

    void Open() {
        m_window = std::make_unique<PinyinWindow>(m_store);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QString Convert(const QString& text) {
        Box("编辑框汉字")->setPlainText(text);
        QTest::mouseClick(Button("按钮转换拼音"), Qt::LeftButton);
        return Box("编辑框结果")->toPlainText();
    }

    QTemporaryDir m_dir;
    ConfigStore m_store;
    std::unique_ptr<PinyinWindow> m_window;

private slots:
    void init() {
        QVERIFY(m_store.Bind(G(m_dir.filePath(QStringLiteral("settings.ini")))));
        m_store.Delete(G(U("汉字拼音转换器")), "");
        Open();
    }
    void cleanup() { m_window.reset(); }

    void layoutDefaultsAndNotModal() {
        QCOMPARE(m_window->windowTitle(), U("汉字拼音转换器"));
        QVERIFY(!m_window->isModal());
        QCOMPARE(Button("按钮粘贴汉字")->text(), U("粘贴\n汉字"));
        QVERIFY(Button("单选框拼音首大写")->isChecked());
        QVERIFY(!Button("选择框首拼模式")->isChecked());
        QVERIFY(Button("选择框清除非字母")->isChecked());
        QVERIFY(!Button("选择框保留空格")->isChecked());
        QVERIFY(Button("选择框保留换行")->isChecked());
        QVERIFY(Button("选择框保留空格")->isEnabled());
    }

    void convertWithTheOptions() {
        QCOMPARE(Convert(U("中国")), QStringLiteral("ZhongGuo"));
        QTest::mouseClick(Button("选择框清除非字母"), Qt::LeftButton);
        QVERIFY(!Button("选择框保留空格")->isEnabled());
        QVERIFY(!Button("选择框保留换行")->isEnabled());
        QCOMPARE(Convert(U("中国")), QStringLiteral("Zhong Guo"));
        QTest::mouseClick(Button("单选框全部大写"), Qt::LeftButton);
        QVERIFY(!Button("单选框拼音首大写")->isChecked());  // one group
        QCOMPARE(Convert(U("银行")), QStringLiteral("YIN HANG"));
        QTest::mouseClick(Button("单选框首字母大写"), Qt::LeftButton);
        QCOMPARE(Convert(U("重庆\n长城")), QStringLiteral("Chong qing\nchang cheng"));
        QTest::mouseClick(Button("单选框全部小写"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框首拼模式"), Qt::LeftButton);
        QCOMPARE(Convert(U("中国")), QStringLiteral("z g"));
        QTest::mouseClick(Button("选择框清除非字母"), Qt::LeftButton);
        QCOMPARE(Convert(U("中国\n北京")), QStringLiteral("zg\nbj"));
        QTest::mouseClick(Button("选择框保留换行"), Qt::LeftButton);
        QCOMPARE(Convert(U("中国\n北京")), QStringLiteral("zgbj"));
        QCOMPARE(Convert(QString()), QString());
    }

    void pasteAndCopy() {
        QApplication::clipboard()->setText(U("剪贴板\n第二行"));
        QTest::mouseClick(Button("按钮粘贴汉字"), Qt::LeftButton);
        QCOMPARE(Box("编辑框汉字")->toPlainText(), U("剪贴板\n第二行"));
        QTest::mouseClick(Button("按钮转换拼音"), Qt::LeftButton);
        QTest::mouseClick(Button("按钮复制结果"), Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("JianTieBan\nDiErXing"));
    }

    void optionsSurviveAReopen() {
        QTest::mouseClick(Button("单选框全部大写"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框首拼模式"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框保留空格"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框保留换行"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框清除非字母"), Qt::LeftButton);
        Box("编辑框汉字")->setPlainText(U("不存"));
        m_window->close();
        m_window.reset();
        Open();
        QVERIFY(Button("单选框全部大写")->isChecked());
        QVERIFY(!Button("单选框拼音首大写")->isChecked());
        QVERIFY(Button("选择框首拼模式")->isChecked());
        QVERIFY(!Button("选择框清除非字母")->isChecked());
        QVERIFY(Button("选择框保留空格")->isChecked());
        QVERIFY(Button("选择框保留换行")->isChecked());   // not saved: its default again
        QVERIFY(!Button("选择框保留换行")->isEnabled());  // the enabling rule ran
        QCOMPARE(Box("编辑框汉字")->toPlainText(), QString());
    }

    void picture() {
        Box("编辑框汉字")->setPlainText(U("长城脚下的银行\n重庆的音乐"));
        QTest::mouseClick(Button("选择框保留空格"), Qt::LeftButton);
        QTest::mouseClick(Button("按钮转换拼音"), Qt::LeftButton);
        QVERIFY(!SavePicture(m_window.get(), QStringLiteral("pinyin-window")).isEmpty());
    }
};

static RegisterAppTest<PinyinWindowTest> registration;

#include "pinyin_window_test.moc"
