#include "core/random.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace {

std::mt19937_64& Generator() {
    thread_local std::mt19937_64 gen([] {
        std::random_device device;
        const auto tick = static_cast<std::uint64_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count());
        std::seed_seq seq{device(), device(), static_cast<unsigned>(tick),
                          static_cast<unsigned>(tick >> 32)};
        return std::mt19937_64(seq);
    }());
    return gen;
}

// Bounds as the draw rules take them: negative as 0, reversed swapped, and clamped to
// the 32-bit range the system's integers have.
std::pair<std::int32_t, std::int32_t> Normalise(std::int64_t low, std::int64_t high) {
    constexpr std::int64_t kMax = INT32_MAX;
    low = std::clamp<std::int64_t>(low, 0, kMax);
    high = std::clamp<std::int64_t>(high, 0, kMax);
    if (low > high) std::swap(low, high);
    return {static_cast<std::int32_t>(low), static_cast<std::int32_t>(high)};
}

}  // namespace

std::int32_t RandomBetween(std::int64_t low, std::int64_t high) {
    const auto [lo, hi] = Normalise(low, high);
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(Generator());
}

std::int32_t NoRepeatPicker::Draw(std::int64_t low, std::int64_t high) {
    if (m_pool.empty()) {
        const auto [lo, hi] = Normalise(low, high);
        m_pool.resize(static_cast<std::size_t>(hi - lo) + 1);
        for (std::size_t i = 0; i < m_pool.size(); ++i)
            m_pool[i] = lo + static_cast<std::int32_t>(i);
    }
    const auto index =
        std::uniform_int_distribution<std::size_t>(0, m_pool.size() - 1)(Generator());
    const std::int32_t value = m_pool[index];
    // Order inside the pool does not matter: each remaining entry is equally likely.
    m_pool[index] = m_pool.back();
    m_pool.pop_back();
    return value;
}
