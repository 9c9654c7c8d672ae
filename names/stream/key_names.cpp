#include <norvathel/name_stream.h>

#include <cstdio>
#include <cstring>

#include "text/fnv1a.h"
#include "stream/name_filter.h"

namespace norvathel {

KeyNamer::KeyNamer(GenderChoice gender, const char* prefixText, const NameConstraints& constraints,
                   std::uint64_t limit)
    : KeyNamer(Style::Classic(), gender, prefixText, constraints, false, limit)
{
}

KeyNamer::KeyNamer(const Style& styleGiven, GenderChoice gender, const char* prefixText,
                   const NameConstraints& constraints, bool full, std::uint64_t limit)
    : style(styleGiven),
      fullNames(full),
      genderChoice(gender),
      filter(new NameFilter(constraints, &styleGiven)),
      dryLimit(limit)
{
    if (prefixText)
        std::snprintf(prefix, sizeof prefix, "%s", prefixText);
}

KeyNamer::~KeyNamer() = default;

bool KeyNamer::Name(std::uint64_t seed, StreamName& name)
{
    random.SeedFull(seed);
    // The boards of the key, with their surnames when second is given.
    const auto compose = [&](AdditiveRandom* second) {
        // Failures are counted as a stream counts them, so that both run dry at the same name.
        std::uint64_t failed = 0;
        for (std::uint64_t board = 0;; ++board) {
            const Gender gender = BoardGender(genderChoice, random);
            cursor.Start(random, style, gender, prefix);
            // The surnames of this board, as a full-name stream composes them board by board.
            if (second)
                style.ComposeSurnames(*second, surnames);
            while (!cursor.Done()) {
                const int length = cursor.Next(slot);
                ++composed;
                if (!filter->Any() || filter->Passes(slot, length)) {
                    name = {slot, length, gender, board};
                    if (second) {
                        const int index = cursor.Index() - 1;
                        name.surname = surnames.names[index];
                        name.surnameLength = surnames.lengths[index];
                    }
                    return true;
                }
                if (RunsDry(failed, dryLimit))
                    return false;
            }
        }
    };
    // Only full names pay for the second generator, even for making one (a kilobyte): a
    // key's name alone is on the fast path.
    if (!fullNames)
        return compose(nullptr);
    AdditiveRandom second = SurnameRandomFor(random);
    return compose(&second);
}

std::uint64_t SeedFromWord(const char* word)
{
    return Fnv1a(word, std::strlen(word));
}

std::uint64_t KeySeed(const char* key, std::size_t length)
{
    return Fnv1a(key, length);
}

std::uint64_t KeySeed(const char* key, std::size_t length, std::uint64_t projectSeed)
{
    return Fnv1a(key, length) ^ SplitMix64(projectSeed);
}

}  // namespace norvathel
