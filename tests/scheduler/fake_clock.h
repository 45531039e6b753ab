#pragma once

// A clock the tests set and a folder of the test's own.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/charset.h"
#include "core/clock.h"

// "YYYY-MM-DD HH:MM:SS[.mmm]" in local time.
inline clock_::WallTime LocalAt(const std::string& text) {
    std::tm tm{};
    int ms = 0;
    const int got = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d.%d", &tm.tm_year, &tm.tm_mon,
                                &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &ms);
    EXPECT_GE(got, 6) << text;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm)) + std::chrono::milliseconds(ms);
}

// Replaces the wall clock while it lives.
class FakeClock {
public:
    FakeClock() {
        clock_::SetNowForTesting([this] { return m_now; });
    }
    ~FakeClock() { clock_::SetNowForTesting({}); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void Set(const std::string& local) { m_now = LocalAt(local); }
    clock_::WallTime now() const { return m_now; }

private:
    clock_::WallTime m_now = LocalAt("2026-06-01 08:00:00");
};

// A fresh folder named after the running test, removed afterwards.
class TestFolder {
public:
    TestFolder() {
        m_path = std::filesystem::temp_directory_path() /
                 ("qingluan-scheduler-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TestFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }
    // A file in it, as a GBK path.
    std::string File(const std::string& utf8Name) const {
        return charset::Utf8ToGbk((m_path / utf8Name).string());
    }

private:
    std::filesystem::path m_path;
};
