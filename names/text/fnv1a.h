// The 64-bit FNV-1a hash: a key's seed, a word's seed, and the slot of a name already given.
#pragma once
#include <cstddef>
#include <cstdint>

namespace norvathel {

inline std::uint64_t Fnv1a(const char* text, std::size_t length)
{
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t index = 0; index < length; ++index) {
        hash ^= static_cast<unsigned char>(text[index]);
        hash *= 1099511628211u;
    }
    return hash;
}

}  // namespace norvathel
