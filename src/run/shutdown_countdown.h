#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The 30-second countdown that ends a run with 更新完成关机 checked. The window that
// shows it (RunHost::RunShutdownCountdown) calls Tick when NextTickDueMs comes and forwards
// its two buttons; the countdown itself holds no timer, so it runs the same under any host.
class ShutdownCountdown {
public:
    static constexpr std::int32_t kStartSeconds = 30;

    // `shutdown` asks the system; the default is platform::ShutdownNow.
    explicit ShutdownCountdown(std::function<bool()> shutdown = {});

    std::int32_t Remaining() const { return m_remaining; }
    // False once the count reached 0 (the timer is stopped) or the user stopped it.
    bool TimerRunning() const { return m_timerRunning; }
    bool Stopped() const { return m_stopped; }
    bool ShutdownRequested() const { return m_shutdownRequested; }
    // When the next Tick is due, on clock_::TickMs: whole seconds after the countdown was
    // made, so a host that waits for it does not add its own lateness to every second.
    std::int64_t NextTickDueMs() const {
        return m_openedMs + static_cast<std::int64_t>(kStartSeconds - m_remaining + 1) * 1000;
    }

    // "距离关机还有 N 秒" (标签1), the window title and the two button captions.
    std::string LabelText() const;
    static const std::string& Title();
    static const std::string& ShutdownNowCaption();
    static const std::string& StopCaption();

    // One tick of 时钟1: counts down and has the window show the new label (showLabel);
    // at 0 stops the timer, waits 500 ms and shuts down, so "0 秒" is on screen before the
    // request goes out.
    void Tick(const std::function<void()>& showLabel = {});
    // 按钮立即 ("立即关机！").
    void ShutdownNowClicked();
    // 按钮停止 ("停止关机！"): stops the timer; returns the message to show
    // ("已停止关机倒计时！") before the window closes.
    std::string StopClicked();

private:
    std::function<bool()> m_shutdown;
    std::int64_t m_openedMs;
    std::int32_t m_remaining = kStartSeconds;
    bool m_timerRunning = true;
    bool m_stopped = false;
    bool m_shutdownRequested = false;
};
