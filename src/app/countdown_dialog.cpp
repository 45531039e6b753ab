#include "app/countdown_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/qt_text.h"
#include "core/clock.h"
#include "run/shutdown_countdown.h"
#include "settings/text_request.h"

namespace {

class CountdownDialog : public QDialog {
public:
    CountdownDialog(ShutdownCountdown& countdown, QWidget* owner)
        : QDialog(owner), m_countdown(countdown) {
        setObjectName(QString::fromLatin1(countdown_dialog::kWindowName));
        setWindowTitle(Q(ShutdownCountdown::Title()));
        Build();
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
        ScheduleTick();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) return;
        QDialog::keyPressEvent(event);
    }

private:
    void Build() {
        m_label = new QLabel(Q(m_countdown.LabelText()), this);
        m_label->setObjectName(QString::fromUtf8("标签1"));
        m_label->setAlignment(Qt::AlignCenter);
        QFont font = m_label->font();
        font.setPointSizeF(font.pointSizeF() * 1.5);
        m_label->setFont(font);

        auto* now = new QPushButton(Q(ShutdownCountdown::ShutdownNowCaption()), this);
        now->setObjectName(QString::fromUtf8("按钮立即"));
        now->setAutoDefault(false);
        auto* stop = new QPushButton(Q(ShutdownCountdown::StopCaption()), this);
        stop->setObjectName(QString::fromUtf8("按钮停止"));
        // Enter stops rather than shuts down: the safe answer for whoever is at the keys.
        stop->setDefault(true);
        stop->setFocus();

        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(now);
        buttons->addWidget(stop);
        buttons->addStretch(1);
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(16, 16, 16, 12);
        column->setSpacing(12);
        column->addWidget(m_label, 1);
        column->addLayout(buttons);
        setFixedSize(320, 130);

        connect(now, &QPushButton::clicked, this, [this] { m_countdown.ShutdownNowClicked(); });
        connect(stop, &QPushButton::clicked, this, [this] { Stop(); });
    }

    void ScheduleTick() {
        if (!m_countdown.TimerRunning()) return;
        const auto wait = m_countdown.NextTickDueMs() - clock_::TickMs();
        m_timer.start(static_cast<int>(std::clamp<std::int64_t>(wait, 0, 1000)));
    }

    void Tick() {
        // Before the due time (a timer may fire early): wait for the rest.
        if (clock_::TickMs() < m_countdown.NextTickDueMs()) return ScheduleTick();
        m_countdown.Tick([this] {
            m_label->setText(Q(m_countdown.LabelText()));
            // Painted now: at 0 the shutdown request follows before the loop runs again.
            m_label->repaint();
        });
        ScheduleTick();
    }

    void Stop() {
        m_timer.stop();
        const std::string message = m_countdown.StopClicked();
        QMessageBox box(QMessageBox::Information, Q(text_request::MessageTitle()), Q(message),
                        QMessageBox::Ok, this);
        box.exec();
        accept();
    }

    ShutdownCountdown& m_countdown;
    QLabel* m_label = nullptr;
    QTimer m_timer;
};

}  // namespace

void RunCountdownDialog(ShutdownCountdown& countdown, QWidget* owner) {
    CountdownDialog dialog(countdown, owner);
    dialog.exec();
}
