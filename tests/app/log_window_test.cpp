#include "app/log_window.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "app_test_support.h"

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QTableView* View(LogWindow& window) {
    return Child<QTableView>(&window, "列表框");
}
QPushButton* Locate(LogWindow& window) {
    return Child<QPushButton>(&window, "按钮定位日志");
}
QString Cell(LogWindow& window, int row, int column) {
    const QAbstractItemModel* model = View(window)->model();
    return model->data(model->index(row, column)).toString();
}

}  // namespace

class LogWindowTest : public QObject {
    Q_OBJECT

private slots:
    void columnsAndLocateButton() {
        QWidget owner;
        LogWindow window(&owner);
        QVERIFY2(window.isHidden(), "created hidden");
        QCOMPARE(window.windowTitle(), U("日志"));
        QTableView* view = View(window);
        QVERIFY(view);
        const QAbstractItemModel* model = view->model();
        QCOMPARE(model->columnCount(), 3);
        const QStringList titles = {U("时间"), U("站点"), U("消息")};
        for (int c = 0; c < 3; ++c)
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
        QCOMPARE(view->columnWidth(0), 100);
        QCOMPARE(view->columnWidth(1), 150);

        window.resize(700, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(view->columnWidth(2), 700 - 12);
        window.resize(900, 300);
        QCOMPARE(view->columnWidth(2), 900 - 12);

        QCOMPARE(Locate(window)->text(), U("开始采集之后才有日志"));
        // The button spans the window under the list.
        QCOMPARE(Locate(window)->width(), window.width());
        QCOMPARE(Locate(window)->y(), view->geometry().bottom() + 1);
        window.SetLocateCaption(U("点击定位日志文件：2024-03-07 09-05-31.txt"));
        QCOMPARE(Locate(window)->text(), U("点击定位日志文件：2024-03-07 09-05-31.txt"));
        QSignalSpy located(&window, &LogWindow::locateClicked);
        QTest::mouseClick(Locate(window), Qt::LeftButton);
        QCOMPARE(located.count(), 1);
    }

    void rowsAppearInOrderAndTheLastIsInView() {
        LogWindow window;
        window.resize(600, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int rows = 500;
        for (int i = 0; i < rows; ++i) {
            window.AppendRow(QStringLiteral("09:05:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
                             i % 2 ? U("a.com(admin)") : U("全局"),
                             i == 3 ? QString() : U("消息 %1").arg(i));
        }
        QCOMPARE(window.RowCount(), rows);
        // In the model at the next event processing: a run's last rows are readable as soon
        // as it returns (only painting waits for the burst to pass).
        QCoreApplication::processEvents();
        QCOMPARE(View(window)->model()->rowCount(), rows);
        QCOMPARE(Cell(window, 0, 0), QStringLiteral("09:05:00"));
        QCOMPARE(Cell(window, 0, 1), U("全局"));
        QCOMPARE(Cell(window, 1, 1), U("a.com(admin)"));
        QCOMPARE(Cell(window, 2, 2), U("消息 2"));
        QCOMPARE(Cell(window, 3, 2), QString());
        QCOMPARE(Cell(window, rows - 1, 2), U("消息 %1").arg(rows - 1));

        QTableView* view = View(window);
        QTRY_COMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        QVERIFY(view->verticalScrollBar()->maximum() > 0);
        const QRect last = view->visualRect(view->model()->index(rows - 1, 0));
        QVERIFY(view->viewport()->rect().contains(last));

        // Rows keep their order across batches.
        window.AppendRow(QStringLiteral("09:06:00"), U("全局"), U("后来的一行"));
        QCoreApplication::processEvents();
        QCOMPARE(view->model()->rowCount(), rows + 1);
        QCOMPARE(Cell(window, rows, 2), U("后来的一行"));
        QTRY_COMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        QTRY_VERIFY(view->updatesEnabled());
        SavePicture(&window, QStringLiteral("log_window"));
    }

    void clearDropsRowsStillWaitingForTheView() {
        LogWindow window;
        window.AppendRow(QStringLiteral("1"), QString(), U("a"));
        QCoreApplication::processEvents();
        QCOMPARE(View(window)->model()->rowCount(), 1);
        window.AppendRow(QStringLiteral("2"), QString(), U("b"));  // not yet in the view
        QCOMPARE(window.RowCount(), 2);
        window.Clear();
        QCOMPARE(window.RowCount(), 0);
        QCOMPARE(View(window)->model()->rowCount(), 0);
        QTest::qWait(60);
        QCOMPARE(View(window)->model()->rowCount(), 0);
        window.AppendRow(QStringLiteral("3"), QString(), U("c"));
        QTRY_COMPARE(View(window)->model()->rowCount(), 1);
        QCOMPARE(Cell(window, 0, 2), U("c"));
    }

    void closingHidesAndBringToFrontShowsAgain() {
        QWidget owner;
        owner.show();
        auto* window = new LogWindow(&owner);
        QSignalSpy hidden(window, &LogWindow::hiddenByUser);
        window->BringToFront();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->AppendRow(QStringLiteral("1"), QString(), U("kept"));
        QVERIFY2(!window->close(), "the close is cancelled");
        QVERIFY(window->isHidden());
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(window->RowCount(), 1);

        window->BringToFront();
        QVERIFY(window->isVisible());
        window->showMinimized();
        window->BringToFront();
        QVERIFY(!window->isMinimized());
        QVERIFY(window->isVisible());
        QCOMPARE(hidden.count(), 1);
    }
};

static RegisterAppTest<LogWindowTest> registration;

#include "log_window_test.moc"
