#include <norvathel/name_stream.h>

#include <chrono>
#include <ctime>
#include <random>

namespace norvathel {

std::uint64_t EntropySeed()
{
    try {
        std::random_device device;
        const std::uint64_t high = device();  // 32 bits each
        return high << 32 ^ device();
    } catch (...) {
        // No entropy source here: the clocks, mixed, are the best left.
        std::uint64_t state = static_cast<std::uint64_t>(std::time(nullptr));
        state ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        return SplitMix64(state);
    }
}

}  // namespace norvathel
