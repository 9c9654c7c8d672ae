#include <norvathel/key_names.h>

#include <cstdio>

#include "name_filter.h"

namespace norvathel {

std::uint64_t KeySeed(const char* key, std::size_t length)
{
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t index = 0; index < length; ++index) {
        hash ^= static_cast<unsigned char>(key[index]);
        hash *= 1099511628211u;
    }
    return hash;
}

std::uint64_t KeySeed(const char* key, std::size_t length, std::uint64_t projectSeed)
{
    return KeySeed(key, length) ^ SplitMix64(projectSeed);
}

KeyNamer::KeyNamer(GenderChoice gender, const char* prefixText, const NameConstraints& constraints,
                   std::uint64_t limit)
    : genderChoice(gender),
      filter(new NameFilter(constraints.minLength, constraints.maxLength, constraints.endsWith,
                            constraints.exclude, {})),
      dryLimit(limit)
{
    if (prefixText)
        std::snprintf(prefix, sizeof prefix, "%s", prefixText);
}

KeyNamer::~KeyNamer() = default;

bool KeyNamer::Name(std::uint64_t seed, StreamName& name)
{
    random.SeedFull(seed);
    // Failures are counted as a stream counts them, so that both run dry at the same name.
    std::uint64_t failed = 0;
    for (std::uint64_t board = 0;; ++board) {
        const Gender gender = genderChoice == GenderChoice::Male     ? Male
                              : genderChoice == GenderChoice::Female ? Female
                                                                     : DrawStartGender(random);
        cursor.Start(random, gender, prefix);
        while (!cursor.Done()) {
            const int length = cursor.Next(slot);
            if (!filter->Any() || filter->Passes(slot, length)) {
                name = {slot, length, gender, board};
                return true;
            }
            if (++failed >= dryLimit)
                return false;
        }
    }
}

}  // namespace norvathel
