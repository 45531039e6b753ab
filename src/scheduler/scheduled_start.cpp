#include "scheduler/scheduled_start.h"

#include <algorithm>

#include "core/charset.h"
#include "core/format_now.h"
#include "run/run_controller.h"
#include "scheduler/scheduler_texts.h"
#include "settings/config_store.h"

namespace {

constexpr std::int64_t kDay = 86400;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The local wall clock as one count of seconds, so that "the second of day s on day d"
// is d × 86400 + s whatever the time zone.
std::int64_t LocalSeconds(clock_::WallTime when) {
    const LocalTime t = ToLocalTime(when);
    return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

const SchedulerTexts& T() {
    return SchedulerText();
}

const std::string& BasicSection() {
    static const std::string name = charset::Utf8ToGbk("基本配置");
    return name;
}
const std::string& AutoStartKey() {
    static const std::string name = charset::Utf8ToGbk("自动开启计划任务");
    return name;
}

}  // namespace

SchedulerRun RunThrough(RunController& controller) {
    return {[&controller] { return controller.IsRunning(); },
            [&controller] { controller.StartOrStop(RunOrigin::Scheduler); }};
}

bool ReadAutoStart(ConfigStore& store, bool fallback) {
    store.SelectSection(BasicSection());
    return store.ReadLogical(AutoStartKey(), fallback);
}

bool SaveAutoStart(ConfigStore& store, bool on) {
    store.SelectSection(BasicSection());
    return store.WriteLogical(AutoStartKey(), on);
}

ScheduledStart::ScheduledStart(SchedulerView& view, std::string timePointPath, SchedulerRun run,
                               ConfigStore* store)
    : m_view(view), m_path(std::move(timePointPath)), m_run(std::move(run)), m_store(store) {}

void ScheduledStart::Created() {
    ReloadFromFile();
    if (m_store) m_view.SetAutoStartChecked(ReadAutoStart(*m_store, m_view.AutoStartChecked()));
}

void ScheduledStart::ReloadFromFile() {
    const TimePointList entries = ReadTimePointFile(m_path);
    m_savedBytes = FormatTimePoints(entries);
    ShowEntries(entries);
}

void ScheduledStart::ShowEntries(const TimePointList& entries) {
    m_view.ClearEntries();
    for (const TimePoint& entry : entries) m_view.AppendEntry(entry);
}

bool ScheduledStart::SaveTimePoints(bool report) {
    const TimePointList entries = m_view.Entries();
    std::string error;
    if (!WriteTimePointFile(m_path, entries, &error)) {
        if (report) m_view.ShowMessage(T().saveFailed + charset::Utf8ToGbk(error));
        return false;
    }
    m_savedBytes = FormatTimePoints(entries);
    return true;
}

bool ScheduledStart::SaveIfChanged(bool report) {
    return FormatTimePoints(m_view.Entries()) == m_savedBytes || SaveTimePoints(report);
}

void ScheduledStart::ReadNowClicked() {
    m_view.SetTimeText(FormatNow(TimeFormat::Time));
}

void ScheduledStart::AddClicked() {
    m_view.AppendEntry({m_view.TimeText(), 0, true});
}

void ScheduledStart::ModifyClicked() {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0) return;
    m_view.SetEntryText(row, m_view.TimeText());
}

void ScheduledStart::DeleteClicked() {
    const std::int32_t row = m_view.SelectedRow();
    if (row < 0) return;
    m_view.RemoveEntry(row);
    const TimePointList entries = m_view.Entries();
    if (entries.empty()) return;
    const std::int32_t next = std::min(row, static_cast<std::int32_t>(entries.size()) - 1);
    m_view.SelectRow(next);
    m_view.SetTimeText(entries[static_cast<std::size_t>(next)].text);
}

void ScheduledStart::ClearClicked() {
    if (m_view.AskOkCancel(T().askClear)) m_view.ClearEntries();
}

void ScheduledStart::TaskButtonClicked() {
    if (m_view.TaskCaption() == T().startTask)
        StartTask();
    else
        StopTask();
}

void ScheduledStart::AutoStartClicked() {
    if (m_store) SaveAutoStart(*m_store, m_view.AutoStartChecked());
}

void ScheduledStart::UsageClicked() {
    m_view.ShowMessage(T().usageText);
}

void ScheduledStart::SelectionChanged() {
    const std::int32_t row = m_view.SelectedRow();
    const TimePointList entries = m_view.Entries();
    if (row >= 0 && static_cast<std::size_t>(row) < entries.size())
        m_view.SetTimeText(entries[static_cast<std::size_t>(row)].text);
}

void ScheduledStart::StartTask() {
    SaveTimePoints();
    // The start counts as the previous tick: a point between it and the first tick fires.
    m_lastTick = LocalSeconds(clock_::Now());
    m_view.SetTaskCaption(T().stopTask);
    m_view.SetTimerPeriod(1000);
}

void ScheduledStart::StopTask() {
    m_view.SetTaskCaption(T().stopping);
}

bool ScheduledStart::AutoStart() {
    if (!m_view.AutoStartChecked() || TaskActive()) return false;
    StartTask();
    return true;
}

bool ScheduledStart::CloseAsked() {
    SaveTimePoints();
    return TaskActive();
}

void ScheduledStart::Tick() {
    // A stop was asked: this tick ends the task, and still checks the points once.
    if (m_view.TaskCaption() != T().stopTask) {
        m_view.SetTaskCaption(T().startTask);
        m_view.SetUsageCaption(T().usage);
        m_view.SetTimerPeriod(0);
    }
    const clock_::WallTime now = clock_::Now();
    m_view.SetTimeText(FormatNow(TimeFormat::Time, now));
    const std::int64_t second = LocalSeconds(now);
    const std::int64_t after = m_lastTick.value_or(second - 1);
    m_lastTick = second;
    const TimePointList entries = m_view.Entries();
    const std::int32_t due = DueEntry(entries, after, second);
    if (due >= 0) Fire(entries[static_cast<std::size_t>(due)]);
}

std::int32_t ScheduledStart::DueEntry(const TimePointList& entries, std::int64_t after,
                                      std::int64_t now) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].ticked) continue;
        const auto ofDay = SecondOfDay(entries[i].text);
        if (!ofDay) continue;
        // The latest moment of that time of day at or before now.
        const std::int64_t today = FloorDiv(now, kDay);
        std::int64_t moment = today * kDay + *ofDay;
        if (moment > now) moment -= kDay;
        if (moment <= after) continue;
        const std::int64_t day = FloorDiv(moment, kDay);
        const auto fired = m_firedDay.find(*ofDay);
        if (fired != m_firedDay.end() && fired->second >= day) continue;
        // Taken for the day even when a run is going on: passed over, not postponed.
        m_firedDay[*ofDay] = day;
        if (m_run.isRunning()) continue;
        return static_cast<std::int32_t>(i);
    }
    return -1;
}

void ScheduledStart::Fire(const TimePoint& entry) {
    m_view.SetUsageCaption(T().fired + entry.text);
    m_view.Beep();
    m_run.start();
    // Points that came while the run went on are passed over, also when no tick arrived
    // during it.
    m_lastTick = std::max(m_lastTick.value_or(0), LocalSeconds(clock_::Now()));
}

std::optional<ScheduledStart::Next> ScheduledStart::NextTimePoint(clock_::WallTime now) const {
    const std::int64_t second = LocalSeconds(now);
    const TimePointList entries = m_view.Entries();
    std::optional<Next> next;
    std::int64_t best = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].ticked) continue;
        const auto ofDay = SecondOfDay(entries[i].text);
        if (!ofDay) continue;
        std::int64_t moment = FloorDiv(second, kDay) * kDay + *ofDay;
        const auto fired = m_firedDay.find(*ofDay);
        if (moment <= second ||
            (fired != m_firedDay.end() && fired->second >= FloorDiv(moment, kDay)))
            moment += kDay;
        if (next && moment >= best) continue;
        best = moment;
        const auto whole = std::chrono::floor<std::chrono::seconds>(now);
        next = Next{static_cast<std::int32_t>(i), entries[i].text,
                    whole + std::chrono::seconds(moment - second)};
    }
    return next;
}
