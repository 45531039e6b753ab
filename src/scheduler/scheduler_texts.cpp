#include "scheduler/scheduler_texts.h"

#include "core/charset.h"

namespace {
std::string G(const char* utf8) {
    return charset::Utf8ToGbk(utf8);
}

SchedulerTexts Build() {
    SchedulerTexts t;
    t.windowTitle = G("计划任务 - 在指定时间点自动“开始站群更新”");
    t.defaultTime = G("12:12:12");
    t.readNow = G("读当前时间↓");
    t.add = G("添加时间点");
    t.modify = G("修改");
    t.remove = G("删除时间点");
    t.clear = G("清空时间点");
    t.startTask = G("开始任务");
    t.stopTask = G("停止任务");
    t.stopping = G("停止中..");
    t.autoStart = G("启动软件时开始任务");
    t.usage = G("使用前必看");
    t.fired = G("时间点已到，开始更新：");
    t.askClear = G("确定要全部删除时间点吗？");
    t.usageText =
        G("计划任务：添加时间点并打勾，点击“开始任务”按钮，当按钮显示为“停止任务”时，说明计划任务"
          "已经在运行。这样当系统时间到了这个时间点，程序就会自动点击主界面“开始站群更新”按钮。"
          "\r\n\r\n"
          "在计划任务开启之前，请先在主界面设置好所有参数，然后当计划任务被执行时才能顺利实现指定"
          "时间段的定时更新。"
          "\r\n\r\n"
          "最后，你可以随时停止计划任务，只需点击“停止任务”按钮即可。");
    t.saveFailed = G("时间点文件保存失败：");
    return t;
}
}  // namespace

const SchedulerTexts& SchedulerText() {
    static const SchedulerTexts texts = Build();
    return texts;
}
