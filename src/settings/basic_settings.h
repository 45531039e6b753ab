#pragma once

#include <string>

// The global run settings of section "基本配置", with the design values of their
// controls. Field names are the settings keys; the two check boxes are stored under
// their control names.
struct BasicSettings {
    bool 同步循环 = false;
    std::string 循环间隔秒 = "0.01";
    bool 先后独立 = true;
    std::string 同时站点数 = "5";
    bool 启用全局更新数量 = false;
    std::string 全局更新数量 = "0";
    bool 选择框完成关机 = false;
    bool 选择框失败时重复尝试 = true;
    std::string 导入路径;
    std::string 导出路径;
    bool 自动开启计划任务 = false;
};
