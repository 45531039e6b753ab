#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QPushButton;
class QTableView;
class QTimer;
class LogModel;

// The run's log window ("日志"): the list view 列表框 with the columns 时间, 站点 and 消息,
// and under it the button 按钮定位日志. Closing it only hides it, so the main window can
// show it again with 按钮查看日志.
class LogWindow : public QWidget {
    Q_OBJECT
public:
    explicit LogWindow(QWidget* owner = nullptr);
    ~LogWindow() override;

    // Appends a row and scrolls to it. Rows reach the view in batches at the next event
    // processing; the list repaints and scrolls to the last at most every 30 ms, so a burst
    // of rows costs one paint of the list.
    void AppendRow(const QString& time, const QString& site, const QString& message);
    void Clear();
    void SetLocateCaption(const QString& caption);
    // Shows, restores from minimised, raises and activates the window.
    void BringToFront();
    // Rows appended so far, those still waiting for the view included.
    int RowCount() const;

signals:
    void locateClicked();
    // The user closed the window; it is hidden, not gone.
    void hiddenByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Flush();
    void ScrollToLast();

    LogModel* m_model = nullptr;
    QTableView* m_view = nullptr;
    QPushButton* m_locate = nullptr;
    bool m_flushQueued = false;
    QTimer* m_scrollTimer = nullptr;
    QElapsedTimer m_sinceScroll;
};
