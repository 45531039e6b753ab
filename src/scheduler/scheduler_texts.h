#pragma once

#include <string>

// The scheduler window's fixed texts, as in-system GBK, converted once.
struct SchedulerTexts {
    std::string windowTitle;
    std::string defaultTime;  // 编辑框时间 as laid out
    // button and check box captions
    std::string readNow, add, modify, remove, clear, startTask, stopTask, stopping, autoStart,
        usage;
    std::string fired;  // 按钮使用前必看 after a time point fired, before the entry's text
    std::string askClear;    // 按钮清空's question
    std::string usageText;   // the usage message, three paragraphs
    std::string saveFailed;  // the time-point file could not be written, before the reason
};

const SchedulerTexts& SchedulerText();
