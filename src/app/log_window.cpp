#include "app/log_window.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <vector>

namespace {
// Short enough that a row looks immediate, long enough to gather a burst.
constexpr qint64 kScrollIntervalMs = 30;
}  // namespace

// Rows in a vector: appending is amortised constant, and the view asks only for the rows
// it paints, so tens of thousands of rows cost no more to show than a screenful.
class LogModel : public QAbstractTableModel {
public:
    using Row = std::array<QString, 3>;

    explicit LogModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
        return m_rows[static_cast<std::size_t>(index.row())]
                     [static_cast<std::size_t>(index.column())];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const std::array<QString, 3> titles = {
            QString::fromUtf8("时间"), QString::fromUtf8("站点"), QString::fromUtf8("消息")};
        return section >= 0 && section < 3 ? titles[static_cast<std::size_t>(section)] : QVariant();
    }

    void Append(std::vector<Row>& rows) {
        if (rows.empty()) return;
        const int first = static_cast<int>(m_rows.size());
        beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        endInsertRows();
        rows.clear();
    }
    void Clear() {
        beginResetModel();
        m_rows.clear();
        m_rows.shrink_to_fit();
        endResetModel();
    }

    std::vector<Row> pending;

private:
    std::vector<Row> m_rows;
};

LogWindow::LogWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QString::fromUtf8("日志"));
    setWindowTitle(QString::fromUtf8("日志"));

    m_model = new LogModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName(QString::fromUtf8("列表框"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setShowGrid(false);
    m_view->setWordWrap(false);
    m_view->setCornerButtonEnabled(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // One fixed height for every row, so the view never measures rows it does not paint.
    QHeaderView* rows = m_view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    QHeaderView* columns = m_view->horizontalHeader();
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setStretchLastSection(false);
    m_view->setColumnWidth(0, 100);
    m_view->setColumnWidth(1, 150);
    m_view->setColumnWidth(2, 300);

    m_locate = new QPushButton(QString::fromUtf8("开始采集之后才有日志"), this);
    m_locate->setObjectName(QString::fromUtf8("按钮定位日志"));
    connect(m_locate, &QPushButton::clicked, this, &LogWindow::locateClicked);

    // A run pumps events after every row, and the list repaints for every insertion; it
    // repaints and scrolls at most every few milliseconds, for all rows that came meanwhile.
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setSingleShot(true);
    connect(m_scrollTimer, &QTimer::timeout, this, [this] { ScrollToLast(); });
    m_sinceScroll.start();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_view, 1);
    column->addWidget(m_locate);
    resize(600, 400);
}

LogWindow::~LogWindow() = default;

void LogWindow::AppendRow(const QString& time, const QString& site, const QString& message) {
    m_model->pending.push_back({time, site, message});
    if (m_flushQueued) return;
    m_flushQueued = true;
    QTimer::singleShot(0, this, [this] { Flush(); });
}

void LogWindow::Flush() {
    m_flushQueued = false;
    if (m_model->pending.empty()) return;
    // The view repaints for every insertion; within the interval it waits for the timer.
    if (!m_scrollTimer->isActive()) {
        const qint64 since = m_sinceScroll.elapsed();
        if (since < kScrollIntervalMs) {
            m_view->setUpdatesEnabled(false);
            m_scrollTimer->start(static_cast<int>(kScrollIntervalMs - since));
        }
    }
    m_model->Append(m_model->pending);
    if (!m_scrollTimer->isActive()) ScrollToLast();
}

void LogWindow::ScrollToLast() {
    m_view->setUpdatesEnabled(true);
    m_view->scrollToBottom();
    m_sinceScroll.restart();
}

void LogWindow::Clear() {
    m_model->pending.clear();
    m_model->Clear();
}

void LogWindow::SetLocateCaption(const QString& caption) {
    m_locate->setText(caption);
}

void LogWindow::BringToFront() {
    if (isHidden()) show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

int LogWindow::RowCount() const {
    return m_model->rowCount() + static_cast<int>(m_model->pending.size());
}

void LogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
    emit hiddenByUser();
}

void LogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // As wide as the window, so a long message reads without widening the column by hand.
    m_view->setColumnWidth(2, std::max(50, width() - 12));
}
