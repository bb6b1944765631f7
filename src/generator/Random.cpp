#include "generator/Random.h"

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

int Random::pick(int count)
{
    if (count <= 1)
        return 1;
    // Multiply and shift (Lemire) on the top 32 bits of each draw: the high half of
    // value * range is uniform over the range once the few values whose low half falls below
    // the threshold are drawn again.
    const auto range = static_cast<std::uint32_t>(count);
    const auto draw = [this, range] { return (engine_() >> 32) * range; };
    std::uint64_t product = draw();
    if (static_cast<std::uint32_t>(product) < range) {
        const std::uint32_t threshold = (0u - range) % range;
        while (static_cast<std::uint32_t>(product) < threshold)
            product = draw();
    }
    return static_cast<int>(product >> 32) + 1;
}

} // namespace vantiro
