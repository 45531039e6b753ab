// The log window under a run's stream of rows, in a shown offscreen window:
// - 10,000 rows through AppendRow with event processing every 100 rows, and then after
//   every row, as a run's pumping gives it;
// - the same 10,000 rows with the view brought up to date (layout, scroll, paint) after
//   every 100, and 1,000 rows so at 50,000 rows, which should cost no more per batch.
// Each prints the total time of the window's work (without its own short wait that gathers
// rows into one batch), the longest gap between two event processings (the time the window
// could not answer) and the number of paints of the list.
//
//   bench_log_window [rows]
#include "app/log_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableView>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct Figures {
    double totalMs = 0;
    double longestGapMs = 0;
    int paints = 0;
};

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

QString Message(int i) {
    return QString::fromUtf8("发布成功：第 %1 篇文章《站群更新测试标题》，分类 3").arg(i);
}

class Bench {
public:
    Bench() {
        m_window.resize(600, 400);
        m_window.show();
        m_view = m_window.findChild<QTableView*>(QString::fromUtf8("列表框"));
        m_view->viewport()->installEventFilter(&m_counter);
        QCoreApplication::processEvents();
    }

    // Appends `rows` rows, processing events after every `every` rows; with `showEach` the
    // view is brought up to date at each of those points.
    Figures Append(int rows, int every, bool showEach) {
        Figures figures;
        m_counter.paints = 0;
        m_idleMs = 0;
        QElapsedTimer total, gap;
        total.start();
        gap.start();
        const QString site = QString::fromUtf8("www.example-blog.cn(admin)");
        for (int i = 0; i < rows; ++i) {
            m_window.AppendRow(QStringLiteral("09:05:31"), site, Message(m_window.RowCount()));
            if ((i + 1) % every != 0 && i + 1 != rows) continue;
            if (showEach) WaitForView(gap, figures);
            QCoreApplication::processEvents();
            figures.longestGapMs = std::max(figures.longestGapMs, gap.nsecsElapsed() / 1e6);
            gap.restart();
        }
        WaitForView(gap, figures);
        figures.totalMs = total.nsecsElapsed() / 1e6 - m_idleMs;
        figures.paints = m_counter.paints;
        return figures;
    }

    void Clear() {
        m_window.Clear();
        QCoreApplication::processEvents();
    }
    int Rows() const { return m_window.RowCount(); }

private:
    // The window gathers rows for a few milliseconds before it shows them; that idle wait
    // is neither work nor a gap, so it is left out of both.
    void WaitForView(QElapsedTimer& gap, Figures& figures) {
        // Rows in the model, and the list painting again (it holds paints back in a burst).
        while (m_view->model()->rowCount() < m_window.RowCount() || !m_view->updatesEnabled()) {
            figures.longestGapMs = std::max(figures.longestGapMs, gap.nsecsElapsed() / 1e6);
            QElapsedTimer idle;
            idle.start();
            QThread::msleep(32);
            m_idleMs += idle.nsecsElapsed() / 1e6;
            gap.restart();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();  // the paint the new rows asked for
        }
    }

    LogWindow m_window;
    QTableView* m_view = nullptr;
    PaintCounter m_counter;
    double m_idleMs = 0;
};

void Print(const char* what, int rows, const Figures& f) {
    std::printf("log window: %-44s %6d rows: total %7.1f ms, longest gap %6.2f ms, %4d paints\n",
                what, rows, f.totalMs, f.longestGapMs, f.paints);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;
    Bench bench;

    const Figures batches = bench.Append(rows, 100, false);
    Print("events every 100 rows", rows, batches);
    bench.Clear();
    Print("events after every row", rows, bench.Append(rows, 1, false));
    bench.Clear();
    const Figures shown = bench.Append(rows, 100, true);
    Print("view up to date every 100 rows", rows, shown);
    bench.Append(std::max(0, 49000 - bench.Rows()), 5000, false);
    Print("view up to date every 100 rows, from 49,000", 1000, bench.Append(1000, 100, true));
    std::printf("goal: under 1000 ms in all for %d rows\n", rows);
    return batches.totalMs < 1000 && shown.totalMs < 1000 ? EXIT_SUCCESS : EXIT_FAILURE;
}
