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
    const std::uint64_t range = static_cast<std::uint64_t>(count);
    // Values below the threshold would make the low residues more likely; draw again.
    const std::uint64_t threshold = (0 - range) % range;
    std::uint64_t value = engine_();
    while (value < threshold)
        value = engine_();
    return static_cast<int>(value % range) + 1;
}

} // namespace vantiro
