#pragma once

// The fake clock and test folder, with the GBK helpers of the scheduler tests.

#include <string>

#include "core/charset.h"
#include "fake_clock.h"

inline std::string Gbk(const std::string& utf8) {
    return charset::Utf8ToGbk(utf8);
}
inline std::string Utf8(const std::string& gbk) {
    return charset::GbkToUtf8(gbk);
}
