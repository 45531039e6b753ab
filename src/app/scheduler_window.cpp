#include "app/scheduler_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/widget_factory.h"
#include "scheduler/scheduler_texts.h"
#include "settings/text_request.h"

namespace {

const SchedulerTexts& T() {
    return SchedulerText();
}

using ui::Named;

// The captions are the scheduled start's own texts (GBK), so its states compare equal.
QPushButton* Button(QWidget* parent, const char* name, const std::string& caption) {
    auto* button = Named(new QPushButton(Q(caption), parent), name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

// The scheduled start's view of the widgets.
class SchedulerWindow::View : public SchedulerView {
public:
    explicit View(SchedulerWindow& window) : m_w(window) {}

    TimePointList Entries() const override {
        TimePointList entries;
        for (int row = 0; row < m_w.m_list->count(); ++row) {
            const QListWidgetItem* item = m_w.m_list->item(row);
            entries.push_back({G(item->text()), item->data(Qt::UserRole).toInt(),
                               item->checkState() == Qt::Checked});
        }
        return entries;
    }
    void AppendEntry(const TimePoint& entry) override {
        auto* item = new QListWidgetItem(Q(entry.text));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, entry.value);
        m_w.m_list->addItem(item);
    }
    void SetEntryText(std::int32_t row, const std::string& text) override {
        if (QListWidgetItem* item = m_w.m_list->item(row)) item->setText(Q(text));
    }
    // The list would select a neighbour by itself; the scheduled start chooses.
    void RemoveEntry(std::int32_t row) override {
        const QSignalBlocker block(m_w.m_list);
        delete m_w.m_list->takeItem(row);
        m_w.m_list->clearSelection();
    }
    void ClearEntries() override {
        const QSignalBlocker block(m_w.m_list);
        m_w.m_list->clear();
    }
    std::int32_t SelectedRow() const override {
        const QListWidgetItem* item = m_w.m_list->currentItem();
        return item && item->isSelected() ? m_w.m_list->currentRow() : -1;
    }
    void SelectRow(std::int32_t row) override {
        const QSignalBlocker block(m_w.m_list);
        m_w.m_list->setCurrentRow(row);
    }

    std::string TimeText() const override { return G(m_w.m_time->text()); }
    void SetTimeText(const std::string& text) override { m_w.m_time->setText(Q(text)); }
    std::string TaskCaption() const override { return G(m_w.m_taskButton->text()); }
    void SetTaskCaption(const std::string& caption) override {
        m_w.m_taskButton->setText(Q(caption));
    }
    void SetUsageCaption(const std::string& caption) override { m_w.m_usage->setText(Q(caption)); }
    bool AutoStartChecked() const override { return m_w.m_autoStart->isChecked(); }
    void SetAutoStartChecked(bool checked) override {
        const QSignalBlocker block(m_w.m_autoStart);
        m_w.m_autoStart->setChecked(checked);
    }
    std::int32_t TimerPeriod() const override {
        return m_w.m_timer->isActive() ? m_w.m_timer->interval() : 0;
    }
    void SetTimerPeriod(std::int32_t ms) override {
        if (ms <= 0) {
            m_w.m_timer->stop();
        } else if (!m_w.m_timer->isActive() || m_w.m_timer->interval() != ms) {
            m_w.m_timer->start(ms);
        }
    }
    void Beep() override { QApplication::beep(); }
    void ShowMessage(const std::string& text) override {
        QString shown = Q(text);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QMessageBox box(QMessageBox::Information, Q(text_request::MessageTitle()), shown,
                        QMessageBox::Ok, &m_w);
        box.exec();
    }
    bool AskOkCancel(const std::string& text) override {
        return QMessageBox::question(&m_w, Q(text_request::MessageTitle()), Q(text),
                                     QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Ok;
    }

private:
    SchedulerWindow& m_w;
};

SchedulerWindow::SchedulerWindow(ConfigStore& store, RunController& controller, QWidget* owner)
    : SchedulerWindow(store, RunThrough(controller), owner) {}

SchedulerWindow::SchedulerWindow(ConfigStore& store, SchedulerRun run, QWidget* owner,
                                 std::string timePointPath)
    : QWidget(owner, Qt::Window), m_run(std::move(run)) {
    setObjectName(QStringLiteral("SchedulerWindow"));
    setWindowTitle(Q(T().windowTitle));
    BuildUi();
    m_view = std::make_unique<View>(*this);
    // The run starts after the tick, from the event loop: a timer is not called again
    // while its own handler runs, and the ticks during the run must show the time (and
    // end a stop that was asked meanwhile). The check again at the start keeps a run that
    // the user started in between from being stopped by it.
    SchedulerRun later{m_run.isRunning, [this] {
                           QTimer::singleShot(0, this, [this] {
                               if (!m_run.isRunning()) m_run.start();
                           });
                       }};
    m_task = std::make_unique<ScheduledStart>(*m_view, std::move(timePointPath), std::move(later),
                                              &store);
    m_task->Created();
    Connect();
}

SchedulerWindow::~SchedulerWindow() {
    m_timer->stop();
    m_task->SaveIfChanged(false);
}

bool SchedulerWindow::AutoStartWanted(ConfigStore& store) {
    return ReadAutoStart(store);
}

bool SchedulerWindow::AutoStart() {
    return m_task->AutoStart();
}

void SchedulerWindow::Open() {
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void SchedulerWindow::closeEvent(QCloseEvent* event) {
    // Hidden either way: a stopped window keeps its list and box as the file and the
    // settings hold them, so opening it again shows the same.
    m_task->CloseAsked();
    event->accept();
}

void SchedulerWindow::BuildUi() {
    m_list = Named(new QListWidget(this), "列表框计划列表");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_time = Named(new QLineEdit(Q(T().defaultTime), this), "编辑框时间");
    m_time->setAlignment(Qt::AlignCenter);
    QFont big = m_time->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_time->setFont(big);
    m_readNow = Button(this, "按钮读当前时间", T().readNow);
    m_add = Button(this, "按钮添加", T().add);
    m_modify = Button(this, "按钮修改", T().modify);
    m_remove = Button(this, "按钮删除", T().remove);
    m_clear = Button(this, "按钮清空", T().clear);
    m_taskButton = Button(this, "按钮开始任务", T().startTask);
    QFont bold = m_taskButton->font();
    bold.setBold(true);
    m_taskButton->setFont(bold);
    m_taskButton->setMinimumHeight(m_taskButton->sizeHint().height() * 3 / 2);
    m_autoStart = Named(new QCheckBox(Q(T().autoStart), this), "选择框开始任务");
    m_usage = Button(this, "按钮使用前必看", T().usage);
    m_timer = Named(new QTimer(this), "时钟计划任务");
    m_timer->setTimerType(Qt::PreciseTimer);

    auto* edits = new QVBoxLayout;
    edits->setSpacing(6);
    edits->addWidget(m_time);
    edits->addWidget(m_readNow);
    edits->addSpacing(6);
    edits->addWidget(m_add);
    edits->addWidget(m_modify);
    edits->addWidget(m_remove);
    edits->addWidget(m_clear);
    edits->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(m_list, 1);
    top->addLayout(edits);

    auto* task = new QHBoxLayout;
    task->setSpacing(10);
    task->addWidget(m_taskButton, 1);
    task->addWidget(m_autoStart);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);
    column->addLayout(top, 1);
    column->addLayout(task);
    column->addWidget(m_usage);
    resize(400, 330);
    setMinimumSize(340, 280);
}

void SchedulerWindow::Connect() {
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_task->SelectionChanged(); });
    connect(m_readNow, &QPushButton::clicked, this, [this] { m_task->ReadNowClicked(); });
    connect(m_add, &QPushButton::clicked, this, [this] { m_task->AddClicked(); });
    connect(m_modify, &QPushButton::clicked, this, [this] { m_task->ModifyClicked(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { m_task->DeleteClicked(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { m_task->ClearClicked(); });
    connect(m_taskButton, &QPushButton::clicked, this, [this] { m_task->TaskButtonClicked(); });
    connect(m_autoStart, &QCheckBox::clicked, this, [this] { m_task->AutoStartClicked(); });
    connect(m_usage, &QPushButton::clicked, this, [this] { m_task->UsageClicked(); });
    connect(m_timer, &QTimer::timeout, this, [this] { m_task->Tick(); });
}
