// One stable name per key (a character's id, a row of a spreadsheet): the first name that
// meets the constraints in the stream seeded by the key, whatever other keys there are.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>

namespace norvathel {

class NameFilter;

// A key's seed: the 64-bit FNV-1a hash of its bytes (as SeedFromWord).
std::uint64_t KeySeed(const char* key, std::size_t length);
// A key's seed within a project: the key's hash XOR the first SplitMix64 output of the
// project's seed. For one project seed, keys with different hashes keep different seeds; two
// project seeds, however close, move every key by unrelated amounts; and no project seed gives
// the keys their bare seeds (that would take a SplitMix64 output of 0).
std::uint64_t KeySeed(const char* key, std::size_t length, std::uint64_t projectSeed);

class KeyNamer {
public:
    // Names of the gender (drawn per board as a stream draws it) beginning with prefix (its
    // first 31 bytes), meeting the constraints; constraints.unique does not count, since a
    // key's name must not depend on the other keys.
    KeyNamer(GenderChoice gender, const char* prefix, const NameConstraints& constraints,
             std::uint64_t dryLimit = NameStream::DefaultDryLimit);
    ~KeyNamer();
    KeyNamer(const KeyNamer&) = delete;
    KeyNamer& operator=(const KeyNamer&) = delete;

    // The first name that a NameStream with this seed, gender, prefix and constraints (unique
    // aside) hands out, composing only as far as that name. False when dryLimit names in a row
    // fail. name.text stays valid until the next call.
    bool Name(std::uint64_t seed, StreamName& name);

private:
    GenderChoice genderChoice;
    char prefix[PrefixCapacity] = {};
    std::unique_ptr<NameFilter> filter;
    std::uint64_t dryLimit;
    AdditiveRandom random;
    BoardCursor cursor;
    char slot[NameSlotSize] = {};
};

}  // namespace norvathel
