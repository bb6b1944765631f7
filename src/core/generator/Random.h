#pragma once

#include <cstdint>
#include <random>

namespace vantiro {

// The program's one source of chance. A given seed yields the same picks everywhere: only the
// raw output of mt19937_64 is used (fixed by the standard), never a library distribution.
class Random final {
public:
    explicit Random(std::uint64_t seed);

    // Seeded from a random device and the clock, for ordinary runs.
    static Random fromEntropy();

    // Uniform over 1 to count, without modulo bias. A count of 0 or less gives 1.
    int pick(int count);

private:
    std::uint32_t next32();

    std::mt19937_64 engine_;
    std::uint32_t spareHalf_ = 0;
    bool hasSpareHalf_ = false;
};

} // namespace vantiro
