#include "core/generator/Random.h"

#include <chrono>

namespace vantiro {

Random::Random(std::uint64_t seed) : engine_(seed) {}

Random Random::fromEntropy()
{
    std::random_device device;
    const std::uint64_t fromDevice = (std::uint64_t{device()} << 32) ^ device();
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return Random(fromDevice ^ static_cast<std::uint64_t>(ticks));
}

// Each 64-bit draw serves two picks, high half first: a run needs millions of them.
std::uint32_t Random::next32()
{
    if (hasSpareHalf_) {
        hasSpareHalf_ = false;
        return spareHalf_;
    }
    const std::uint64_t value = engine_();
    spareHalf_ = static_cast<std::uint32_t>(value);
    hasSpareHalf_ = true;
    return static_cast<std::uint32_t>(value >> 32);
}

int Random::pick(int count)
{
    if (count <= 1)
        return 1;
    // Multiply and shift (Lemire): the high half of value * range is uniform over the range
    // once the few values whose low half falls below the threshold are drawn again.
    const auto range = static_cast<std::uint32_t>(count);
    std::uint64_t product = std::uint64_t{next32()} * range;
    if (static_cast<std::uint32_t>(product) < range) {
        const std::uint32_t threshold = (0u - range) % range;
        while (static_cast<std::uint32_t>(product) < threshold)
            product = std::uint64_t{next32()} * range;
    }
    return static_cast<int>(product >> 32) + 1;
}

} // namespace vantiro
