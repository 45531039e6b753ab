#pragma once

#include <cstdint>
#include <vector>

// Random draws of the system: both ends included, a negative bound counts as 0 and
// reversed bounds are swapped. One generator per thread, seeded once from the random
// device and the clock: reseeding from the clock before every series, as the old
// behaviour did, repeats the same numbers for series begun within one clock tick.
std::int32_t RandomBetween(std::int64_t low, std::int64_t high);

// A pool of integers that hands out every number of a range once, in random order,
// then starts over.
class NoRepeatPicker {
public:
    // Refills an empty pool with low … high (the draw rules above apply to the bounds)
    // and removes and returns one entry chosen uniformly at random.
    std::int32_t Draw(std::int64_t low, std::int64_t high);
    void Reset() { m_pool.clear(); }
    std::size_t Remaining() const { return m_pool.size(); }

private:
    std::vector<std::int32_t> m_pool;
};
