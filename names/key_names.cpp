#include <norvathel/name_stream.h>

#include <cstdio>

#include "name_filter.h"

namespace norvathel {

KeyNamer::KeyNamer(GenderChoice gender, const char* prefixText, const NameConstraints& constraints,
                   std::uint64_t limit)
    : genderChoice(gender),
      filter(new NameFilter(constraints.minLength, constraints.maxLength, constraints.endsWith,
                            constraints.exclude, constraints.excludeNames)),
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
        const Gender gender = BoardGender(genderChoice, random);
        cursor.Start(random, gender, prefix);
        while (!cursor.Done()) {
            const int length = cursor.Next(slot);
            ++composed;
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
