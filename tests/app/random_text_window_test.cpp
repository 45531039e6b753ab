#include "app/random_text_window.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/qt_text.h"
#include "app_test_support.h"
#include "settings/config_store.h"
#include "tools/random_text_generator.h"

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

class RandomTextWindowTest : public QObject {
    Q_OBJECT

    QPlainTextEdit* Result() { return Child<QPlainTextEdit>(m_window.get(), "编辑框结果"); }
    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(m_window.get(), name); }
    QAbstractButton* Button(const char* name) {
        return Child<QAbstractButton>(m_window.get(), name);
    }
    QStringList Lines() {
        const QString text = Result()->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }

    void Open() {
        m_window = std::make_unique<RandomTextWindow>(m_store);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    QTemporaryDir m_dir;
    ConfigStore m_store;
    std::unique_ptr<RandomTextWindow> m_window;

private slots:
    void init() {
        QVERIFY(m_store.Bind(G(m_dir.filePath(QStringLiteral("settings.ini")))));
        m_store.Delete(G(U("随机文本生成器")), "");
        Open();
    }
    void cleanup() { m_window.reset(); }

    void defaultsGiveAHundredGroups() {
        QCOMPARE(m_window->windowTitle(), U("随机文本生成器"));
        QVERIFY(!m_window->isModal());
        QCOMPARE(Edit("编辑框字数1")->text(), QStringLiteral("3"));
        QCOMPARE(Edit("编辑框字数2")->text(), QStringLiteral("5"));
        QCOMPARE(Edit("编辑框组数")->text(), QStringLiteral("100"));
        QVERIFY(Button("单选框最常用")->isChecked());
        QTest::mouseClick(Button("按钮生成汉字"), Qt::LeftButton);
        const QStringList lines = Lines();
        QCOMPARE(lines.size(), 100);
        for (const QString& line : lines) QVERIFY(line.size() >= 3 && line.size() <= 5);
        QCOMPARE(Button("按钮生成汉字")->text(), U("生成随机汉字"));
        QVERIFY(Button("按钮生成数母")->isEnabled());

        Edit("编辑框字数1")->setText(QStringLiteral("6"));
        Edit("编辑框字数2")->setText(QStringLiteral("6"));
        Edit("编辑框组数")->setText(QStringLiteral("10"));
        QTest::mouseClick(Button("选择框有数字"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框有小字母"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框有大字母"), Qt::LeftButton);
        QTest::mouseClick(Button("按钮生成数母"), Qt::LeftButton);
        QCOMPARE(Lines().size(), 10);
        for (const QString& line : Lines()) {
            QCOMPARE(line.size(), 6);
            for (const QChar c : line) QVERIFY(c.isDigit());
        }
        Edit("编辑框组数")->setText(QString());
        QTest::mouseClick(Button("按钮生成数母"), Qt::LeftButton);
        QCOMPARE(Result()->toPlainText(), QString());
    }

    void theSameButtonStops() {
        Edit("编辑框组数")->setText(QStringLiteral("2000000000"));
        QString running, stopping;
        bool otherDisabled = false;
        // The second click lands while the generation pumps the window's events.
        QTimer::singleShot(50, m_window.get(), [&] {
            running = Button("按钮生成汉字")->text();
            otherDisabled = !Button("按钮生成数母")->isEnabled();
            QTest::mouseClick(Button("按钮生成汉字"), Qt::LeftButton);
            stopping = Button("按钮生成汉字")->text();
        });
        QTest::mouseClick(Button("按钮生成汉字"), Qt::LeftButton);
        QCOMPARE(running, U("点我停止生成"));
        QCOMPARE(stopping, U("正在停止中"));
        QVERIFY(otherDisabled);
        QCOMPARE(Button("按钮生成汉字")->text(), U("生成随机汉字"));
        QVERIFY(Button("按钮生成数母")->isEnabled());
        const int groups = Lines().size();
        QVERIFY2(groups > 0 && groups < 2000000000, qPrintable(QString::number(groups)));
    }

    void traditionalAndCopy() {
        Edit("编辑框字数1")->setText(QStringLiteral("40"));
        Edit("编辑框字数2")->setText(QStringLiteral("40"));
        QTest::mouseClick(Button("选择框转为繁体"), Qt::LeftButton);
        QTest::mouseClick(Button("按钮生成汉字"), Qt::LeftButton);
        QVERIFY(Result()->toPlainText().contains(U("這")));
        QVERIFY(!Result()->toPlainText().contains(U("这")));
        QTest::mouseClick(Button("按钮复制结果"), Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), Result()->toPlainText());
    }

    void choicesSurviveAReopen() {
        Edit("编辑框字数1")->setText(QStringLiteral("7"));
        Edit("编辑框字数2")->setText(QStringLiteral("2"));
        Edit("编辑框组数")->setText(QStringLiteral("12"));
        QTest::mouseClick(Button("单选框次要常用"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框转为繁体"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框有数字"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框有小字母"), Qt::LeftButton);
        QTest::mouseClick(Button("选择框转为全角"), Qt::LeftButton);
        m_window->close();
        m_window.reset();
        Open();
        QCOMPARE(Edit("编辑框字数1")->text(), QStringLiteral("7"));
        QCOMPARE(Edit("编辑框字数2")->text(), QStringLiteral("2"));
        QCOMPARE(Edit("编辑框组数")->text(), QStringLiteral("12"));
        QVERIFY(Button("单选框次要常用")->isChecked());
        QVERIFY(!Button("单选框最常用")->isChecked());
        QVERIFY(Button("选择框转为繁体")->isChecked());
        QVERIFY(Button("选择框有数字")->isChecked());
        QVERIFY(!Button("选择框有小字母")->isChecked());
        QVERIFY(Button("选择框有大字母")->isChecked());
        QVERIFY(Button("选择框转为全角")->isChecked());
    }

    void closingStopsAGeneration() {
        Edit("编辑框组数")->setText(QStringLiteral("2000000000"));
        QTimer::singleShot(50, m_window.get(), [&] { m_window->close(); });
        QTest::mouseClick(Button("按钮生成汉字"), Qt::LeftButton);
        QVERIFY(!m_window->Generator().Generating());
        QVERIFY(!m_window->isVisible());
        // Hidden without a close, as the main window hides every window before the end.
        m_window->show();
        QTimer::singleShot(50, m_window.get(), [&] { m_window->hide(); });
        QTest::mouseClick(Button("按钮生成数母"), Qt::LeftButton);
        QVERIFY(!m_window->Generator().Generating());
        QVERIFY(!Result()->toPlainText().isEmpty());
    }

    void picture() {
        Edit("编辑框组数")->setText(QStringLiteral("12"));
        QTest::mouseClick(Button("按钮生成汉字"), Qt::LeftButton);
        QVERIFY(!SavePicture(m_window.get(), QStringLiteral("random-text-window")).isEmpty());
    }
};

static RegisterAppTest<RandomTextWindowTest> registration;

#include "random_text_window_test.moc"
