#include "app/text_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "app/qt_text.h"
#include "app_test_support.h"
#include "core/charset.h"

namespace {

std::string Gbk(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QPlainTextEdit* Box(QWidget* dialog) {
    return Child<QPlainTextEdit>(dialog, "编辑框正文");
}
QPlainTextEdit* PromptBox(QWidget* dialog) {
    return Child<QPlainTextEdit>(dialog, "编辑框提示");
}
QPushButton* Button(QWidget* dialog, const char* name) {
    return Child<QPushButton>(dialog, name);
}

// Opens AskText and runs `inside` on the open window; `inside` ends by closing it. A window
// left open (a failed check returned early) is closed, so one failure cannot hang the rest.
TextResult Ask(const TextRequest& request, const std::function<void(QDialog*)>& inside,
               QWidget* owner = nullptr) {
    bool ran = false;
    const ModalWatch watch = WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || dialog->objectName() != QLatin1String(text_dialog::kWindowName))
            return false;
        ran = true;
        QPointer<QDialog> guard(dialog);
        inside(dialog);
        if (guard && guard->isVisible()) {
            QTest::qFail("the window was left open", __FILE__, __LINE__);
            guard->done(QDialog::Rejected);
        }
        return true;
    });
    const TextResult result = AskText(request, owner);
    StopWatching(watch);
    if (!ran) QTest::qFail("AskText did not open its window", __FILE__, __LINE__);
    return result;
}

}  // namespace

class TextDialogTest : public QObject {
    Q_OBJECT

private slots:
    void inputModeReturnsTheEditedTextWithCrLf() {
        TextRequest request;
        request.text = Gbk("标签一\r\n标签二");
        request.prompt =
            Gbk("一行一个标签，在更新文章时将读取随机的几个标签作为文章的标签选项。"
                "留空无标签。如果打勾【文章中随机提取】则随机提取文章中文字为标签");
        request.title = Gbk("输入标签列表（keywords）：");
        const TextResult result = Ask(request, [](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), U("输入标签列表（keywords）："));
            QVERIFY(PromptBox(dialog)->toPlainText().startsWith(U("一行一个标签")));
            QVERIFY(PromptBox(dialog)->isReadOnly());
            QCOMPARE(Box(dialog)->toPlainText(), U("标签一\n标签二"));
            QVERIFY(!Box(dialog)->isReadOnly());
            QCOMPARE(dialog->focusWidget(), Box(dialog));
            QVERIFY(Button(dialog, "按钮确定")->isVisible());
            QVERIFY(Child<QFrame>(dialog, "外形框")->isVisible());
            SavePicture(dialog, QStringLiteral("text_dialog_input"));
            Box(dialog)->moveCursor(QTextCursor::End);
            // Enter is a line break in the box, not the default button.
            QTest::keyClick(Box(dialog), Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            Box(dialog)->insertPlainText(U("标签三"));
            Button(dialog, "按钮确定")->click();
        });
        QVERIFY(result.ok);
        QCOMPARE(Q(result.text), U("标签一\r\n标签二\r\n标签三"));
        QCOMPARE(result.text, Gbk("标签一\r\n标签二\r\n标签三"));
    }

    void cancelReturnsNothingEvenAfterAnEdit() {
        TextRequest request;
        request.text = "abc";
        MessageAnswer question;
        ModalWatch answer;
        const TextResult result = Ask(request, [&](QDialog* dialog) {
            Box(dialog)->setPlainText(QStringLiteral("changed"));
            answer = AnswerNextMessageBox(QMessageBox::Yes, &question);
            Button(dialog, "按钮取消")->click();
        });
        StopWatching(answer);
        QVERIFY(!result.ok);
        QVERIFY(result.text.empty());
        QVERIFY2(!question.seen, "取消 closes without a question");
    }

    void displayModeOnlyShowsTheText() {
        TextRequest request;
        request.text = Gbk("第一行\r\n第二行");
        request.prompt = std::string();
        request.title = Gbk("这是导入失败的站点信息：");
        request.inputMode = false;
        const TextResult result = Ask(request, [](QDialog* dialog) {
            QVERIFY(Box(dialog)->isReadOnly());
            QCOMPARE(Box(dialog)->toPlainText(), U("第一行\n第二行"));
            QCOMPARE(PromptBox(dialog)->toPlainText(), U("以下为信息详情："));
            QVERIFY(Button(dialog, "按钮确定")->isHidden());
            QVERIFY(Child<QFrame>(dialog, "外形框")->isHidden());
            QPushButton* close = Button(dialog, "按钮取消");
            QCOMPARE(close->text(), U("关闭(&G)"));
            QVERIFY(close->isDefault());
            SavePicture(dialog, QStringLiteral("text_dialog_display"));
            // Typing into a read-only box changes nothing; Enter goes to the default 关闭.
            QTest::keyClicks(Box(dialog), QStringLiteral("xyz"));
            QCOMPARE(Box(dialog)->toPlainText(), U("第一行\n第二行"));
            QTest::keyClick(Box(dialog), Qt::Key_Return);
        });
        QVERIFY(!result.ok);
        QVERIFY(result.text.empty());
    }

    void promptRules_data() {
        QTest::addColumn<int>("given");  // 0 none, 1 empty, 2 text
        QTest::addColumn<bool>("inputMode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownPrompt");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("given, input")
            << 2 << true << U("批量导入站点") << U("帮助") << U("批量导入站点");
        QTest::newRow("given, display")
            << 2 << false << U("疑点说明") << U("帮助") << U("疑点说明");
        QTest::newRow("empty, input") << 1 << true << QString() << U("请输入数据：") << U("岚舟：");
        QTest::newRow("empty, display")
            << 1 << false << QString() << U("以下为信息详情：") << U("岚舟：");
        QTest::newRow("none, input") << 0 << true << U("t") << QString() << U("t");
        QTest::newRow("none, display") << 0 << false << U("t") << QString() << U("t");
    }
    void promptRules() {
        QFETCH(int, given);
        QFETCH(bool, inputMode);
        QFETCH(QString, title);
        QFETCH(QString, shownPrompt);
        QFETCH(QString, shownTitle);
        TextRequest request;
        if (given == 1) request.prompt = std::string();
        if (given == 2) request.prompt = Gbk("帮助");
        request.title = G(title);
        request.inputMode = inputMode;
        QString prompt, windowTitle;
        Ask(request, [&](QDialog* dialog) {
            prompt = PromptBox(dialog)->toPlainText();
            windowTitle = dialog->windowTitle();
            Button(dialog, "按钮取消")->click();
        });
        QCOMPARE(prompt, shownPrompt);
        QCOMPARE(windowTitle, shownTitle);
    }

    void aSecondCallWhileOpenReturnsAtOnce() {
        TextRequest request;
        request.text = "first";
        TextResult second{true, "untouched"};
        int dialogs = 0;
        const TextResult first = Ask(request, [&](QDialog* dialog) {
            TextRequest other;
            other.text = "second";
            second = AskText(other, nullptr);
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->objectName() == QLatin1String(text_dialog::kWindowName))
                    ++dialogs;
            QCOMPARE(Box(dialog)->toPlainText(), QStringLiteral("first"));
            Button(dialog, "按钮确定")->click();
        });
        QVERIFY(!second.ok);
        QVERIFY(second.text.empty());
        QCOMPARE(dialogs, 1);
        QVERIFY(first.ok);
        QCOMPARE(first.text, std::string("first"));

        // Closed again, the window opens for the next call.
        const TextResult again =
            Ask(request, [](QDialog* dialog) { Button(dialog, "按钮确定")->click(); });
        QVERIFY(again.ok);
    }

    void restoreClearAndPaste() {
        TextRequest request;
        request.text = Gbk("原文\r\n第二行");
        const TextResult result = Ask(request, [](QDialog* dialog) {
            QPlainTextEdit* box = Box(dialog);
            Button(dialog, "按钮清空")->click();
            QCOMPARE(box->toPlainText(), QString());
            Button(dialog, "按钮恢复")->click();
            QCOMPARE(box->toPlainText(), U("原文\n第二行"));

            QApplication::clipboard()->setText(U("剪贴板\n内容"));
            Button(dialog, "按钮粘贴")->click();
            QCOMPARE(box->toPlainText(), U("剪贴板\n内容"));
            QApplication::clipboard()->clear();
            Button(dialog, "按钮粘贴")->click();
            QCOMPARE(box->toPlainText(), QString());
            Button(dialog, "按钮恢复")->click();
            Button(dialog, "按钮确定")->click();
        });
        QVERIFY(result.ok);
        QCOMPARE(result.text, Gbk("原文\r\n第二行"));
    }

    void restoreWithAnEmptyInitialTextSays() {
        TextRequest request;
        MessageAnswer message;
        Ask(request, [&](QDialog* dialog) {
            Box(dialog)->setPlainText(QStringLiteral("typed"));
            AnswerNextMessageBox(QMessageBox::Ok, &message);
            Button(dialog, "按钮恢复")->click();
            QCOMPARE(Box(dialog)->toPlainText(), QStringLiteral("typed"));
            Button(dialog, "按钮取消")->click();
        });
        QVERIFY(message.seen);
        QCOMPARE(message.text, U("启动值为空！"));
        QCOMPARE(message.title, U("岚舟："));
    }

    void closingFromTheFrameAsksWhenChanged() {
        TextRequest request;
        request.text = Gbk("原文");
        MessageAnswer no, yes;
        bool stayedOpen = false;
        const TextResult result = Ask(request, [&](QDialog* dialog) {
            Box(dialog)->setPlainText(U("改过"));
            AnswerNextMessageBox(QMessageBox::No, &no);
            dialog->close();
            stayedOpen = dialog->isVisible();
            QCOMPARE(Box(dialog)->toPlainText(), U("改过"));
            AnswerNextMessageBox(QMessageBox::Yes, &yes);
            dialog->close();
        });
        QVERIFY(no.seen);
        QCOMPARE(no.text, U("内容已被改动，是否要放弃？"));
        QCOMPARE(no.title, U("岚舟："));
        QVERIFY2(stayedOpen, "No keeps the window open");
        QVERIFY(yes.seen);
        QVERIFY2(!result.ok, "Yes closes without a result");
        QVERIFY(result.text.empty());
    }

    void closingFromTheFrameWithoutChangesDoesNotAsk_data() {
        QTest::addColumn<bool>("inputMode");
        QTest::addColumn<bool>("edit");
        QTest::newRow("input, unchanged") << true << false;
        // Changed and changed back: the box holds the initial text again.
        QTest::newRow("input, edited back") << true << true;
        QTest::newRow("display") << false << false;
    }
    void closingFromTheFrameWithoutChangesDoesNotAsk() {
        QFETCH(bool, inputMode);
        QFETCH(bool, edit);
        TextRequest request;
        request.text = "a\r\nb";
        request.inputMode = inputMode;
        bool closed = false;
        Ask(request, [&](QDialog* dialog) {
            if (edit) {
                Box(dialog)->setPlainText(QStringLiteral("x"));
                Box(dialog)->setPlainText(QStringLiteral("a\nb"));
            }
            dialog->close();
            closed = !dialog->isVisible();
        });
        QVERIFY(closed);
    }

    void wantedSizeIsTheTextArea() {
        TextRequest request;
        request.prompt = Gbk("批量导入的说明");
        request.width = 700;
        request.height = 200;
        QSize box, client;
        Ask(request, [&](QDialog* dialog) {
            box = Box(dialog)->size();
            client = dialog->size();
            SavePicture(dialog, QStringLiteral("text_dialog_700x200"));
            Button(dialog, "按钮取消")->click();
        });
        QCOMPARE(box, QSize(700, 200));
        QCOMPARE(client.width(), 700 + 2 * 5);

        TextRequest design;
        QSize designClient;
        Ask(design, [&](QDialog* dialog) {
            designClient = dialog->size();
            Button(dialog, "按钮取消")->click();
        });
        QVERIFY(designClient.width() >= 300 && designClient.height() >= 200);
    }

    void promptHeightFollowsItsLinesAndTheWidth() {
        TextRequest request;
        std::string longPrompt;
        for (int i = 0; i < 15; ++i)
            longPrompt += Gbk("一行一个标签，在更新文章时");  // 15 x 26 bytes
        request.prompt = longPrompt;
        int wideHeight = 0, narrowHeight = 0, oneLine = 0, threeLines = 0;
        Ask(request, [&](QDialog* dialog) {
            dialog->resize(800, 500);
            wideHeight = PromptBox(dialog)->height();
            dialog->resize(400, 500);
            narrowHeight = PromptBox(dialog)->height();
            // The whole prompt fits: it needs no scrolling at the height the rule gave it.
            QPlainTextEdit* prompt = PromptBox(dialog);
            QTRY_COMPARE(prompt->verticalScrollBar()->maximum(), 0);
            Button(dialog, "按钮取消")->click();
        });
        QVERIFY2(narrowHeight > wideHeight, "a narrower box wraps the prompt to more lines");

        request.prompt = "one";
        Ask(request, [&](QDialog* dialog) {
            oneLine = PromptBox(dialog)->height();
            Button(dialog, "按钮取消")->click();
        });
        request.prompt = "one\r\ntwo\r\nthree";
        Ask(request, [&](QDialog* dialog) {
            threeLines = PromptBox(dialog)->height();
            QTRY_COMPARE(PromptBox(dialog)->verticalScrollBar()->maximum(), 0);
            SavePicture(dialog, QStringLiteral("text_dialog_three_line_prompt"));
            Button(dialog, "按钮取消")->click();
        });
        // Two more lines, and no more than a line's worth of room to spare for the one line.
        const int lineSpacing = QFontMetrics(QApplication::font()).lineSpacing();
        QVERIFY(threeLines - oneLine >= 2 * lineSpacing);
        QVERIFY(threeLines - oneLine <= 2 * (lineSpacing + 2));
        QVERIFY(oneLine < 2 * lineSpacing + 10);
    }
};

static RegisterAppTest<TextDialogTest> registration;

#include "text_dialog_test.moc"
