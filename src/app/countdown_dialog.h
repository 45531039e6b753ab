#pragma once

class QWidget;
class ShutdownCountdown;

// Runs the shutdown countdown modally over owner ("更新完毕，准备关机.."): 标签1 shows the
// count, 时钟1 ticks it when NextTickDueMs comes, 按钮立即 shuts down at once, 按钮停止
// stops it, shows the stop message and closes the window. Returns when the window closes.
// Closing it from the frame also ends the countdown without a shutdown; Esc does nothing, so
// a stray key cannot cancel an unattended shutdown.
void RunCountdownDialog(ShutdownCountdown& countdown, QWidget* owner);

namespace countdown_dialog {
inline constexpr char kWindowName[] = "ShutdownCountdown";
}
