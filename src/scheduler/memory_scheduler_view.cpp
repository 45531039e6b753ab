#include "scheduler/memory_scheduler_view.h"

namespace {
bool InRange(const TimePointList& entries, std::int32_t row) {
    return row >= 0 && static_cast<std::size_t>(row) < entries.size();
}
}  // namespace

void MemorySchedulerView::SetEntryText(std::int32_t row, const std::string& text) {
    if (InRange(entries, row)) entries[static_cast<std::size_t>(row)].text = text;
}

// As a list box does: removing the selected row leaves nothing selected.
void MemorySchedulerView::RemoveEntry(std::int32_t row) {
    if (!InRange(entries, row)) return;
    entries.erase(entries.begin() + row);
    if (selected == row)
        selected = -1;
    else if (selected > row)
        --selected;
}

void MemorySchedulerView::ClearEntries() {
    entries.clear();
    selected = -1;
}

bool MemorySchedulerView::AskOkCancel(const std::string& text) {
    messages.push_back(text);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}
