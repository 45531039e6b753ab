#include "run/shutdown_countdown.h"

#include "core/clock.h"
#include "core/events.h"
#include "core/platform/shutdown.h"
#include "run/run_texts.h"

ShutdownCountdown::ShutdownCountdown(std::function<bool()> shutdown)
    : m_shutdown(shutdown ? std::move(shutdown) : std::function<bool()>(platform::ShutdownNow)),
      m_openedMs(clock_::TickMs()) {}

std::string ShutdownCountdown::LabelText() const {
    return Texts().countdownLeft + std::to_string(m_remaining) + Texts().countdownRight;
}

const std::string& ShutdownCountdown::Title() {
    return Texts().countdownTitle;
}

const std::string& ShutdownCountdown::ShutdownNowCaption() {
    return Texts().shutdownNowCaption;
}

const std::string& ShutdownCountdown::StopCaption() {
    return Texts().stopShutdownCaption;
}

void ShutdownCountdown::Tick(const std::function<void()>& showLabel) {
    if (!m_timerRunning) return;
    m_remaining -= 1;
    if (showLabel) showLabel();
    if (m_remaining > 0) return;
    m_timerRunning = false;
    WaitMs(500);
    // The half second pumps events: a 停止关机！ clicked in it still stops the shutdown.
    if (m_stopped) return;
    ShutdownNowClicked();
}

void ShutdownCountdown::ShutdownNowClicked() {
    // A refused request leaves the window open with the count at 0, as before; the
    // result is kept only so hosts and tests can tell.
    m_shutdownRequested = true;
    m_shutdown();
}

std::string ShutdownCountdown::StopClicked() {
    m_timerRunning = false;
    m_stopped = true;
    return Texts().shutdownStopped;
}
