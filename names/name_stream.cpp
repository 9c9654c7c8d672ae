#include <norvathel/name_stream.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

namespace norvathel {

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool ContainsPiece(const std::string& lowerText, const std::string& lowerPiece)
{
    return lowerText.find(lowerPiece) != std::string::npos;
}

// The prefix as the composer takes it: at most its first 31 bytes.
int PrefixLength(const char* prefix)
{
    int length = 0;
    while (prefix && length < PrefixCapacity - 1 && prefix[length] != '\0')
        ++length;
    return length;
}

std::uint64_t Fnv1a(const char* text, std::size_t length)
{
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t index = 0; index < length; ++index) {
        hash ^= static_cast<unsigned char>(text[index]);
        hash *= 1099511628211u;
    }
    return hash;
}

[[noreturn]] void OutOfMemory()
{
    std::perror("SYSERR: malloc failure");
    std::abort();
}

}  // namespace

bool NameConstraints::Any() const
{
    return unique || minLength != 0 || maxLength != 0 || !endsWith.empty() || !exclude.empty();
}

std::string ImpossibleConstraints(const NameConstraints& constraints, const char* prefix)
{
    const int prefixLength = PrefixLength(prefix);
    const std::string lowerPrefix = LowerAscii(std::string(prefix ? prefix : "", prefixLength));
    const std::string range = " must be from 1 to " + std::to_string(MaxNameLength);
    if (constraints.minLength < 0 || constraints.minLength > MaxNameLength)
        return "--min-length" + range;
    if (constraints.maxLength < 0 || constraints.maxLength > MaxNameLength)
        return "--max-length" + range;
    if (constraints.maxLength != 0) {
        if (constraints.minLength > constraints.maxLength)
            return "--min-length is above --max-length";
        if (constraints.maxLength < prefixLength)
            return "--max-length is below the prefix's length";
        if (constraints.maxLength < static_cast<int>(constraints.endsWith.size()))
            return "--max-length is below the length of the --ends-with text";
    }
    for (const std::string& piece : constraints.exclude) {
        if (piece.empty())
            return "--exclude has an empty piece";
        if (ContainsPiece(lowerPrefix, LowerAscii(piece)))
            return "the prefix itself contains the excluded piece '" + piece + "'";
    }
    return "";
}

// The names kept so far, as a set: each name's bytes once, behind a length byte, in an arena of
// fixed-size blocks (no block ever moves), and an open-addressing table kept at most
// three-quarters full. A slot is a tag byte (0 for empty, else seven bits of the hash) and a
// 32-bit arena offset in a parallel array: probing reads the tags, which lie side by side, and
// only a matching tag costs a look at the arena. About 9 bytes of arena and 7 to 14 bytes of
// table per name; a growing table briefly holds the old one too.
class NameStream::SeenNames {
public:
    // True, keeping the name, when it was not there yet.
    bool Insert(const char* name, int length)
    {
        if ((count + 1) * 4 > tags.size() * 3)
            Grow();
        const std::uint64_t hash = Fnv1a(name, static_cast<std::size_t>(length));
        const std::uint8_t tag = TagOf(hash);
        const std::size_t mask = tags.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            if (tags[slot] == 0) {
                tags[slot] = tag;
                offsets[slot] = Store(name, length);
                ++count;
                return true;
            }
            if (tags[slot] == tag) {
                const unsigned char* stored = At(offsets[slot]);
                if (stored[0] == length && std::memcmp(stored + 1, name, static_cast<std::size_t>(length)) == 0)
                    return false;
            }
        }
    }

private:
    static const std::size_t BlockSize = std::size_t(1) << 20;

    static std::uint8_t TagOf(std::uint64_t hash)
    {
        return static_cast<std::uint8_t>(0x80 | hash >> 57);  // the bits the slot index leaves
    }

    const unsigned char* At(std::uint32_t offset) const
    {
        return blocks[offset / BlockSize].get() + offset % BlockSize;
    }

    std::uint32_t Store(const char* name, int length)
    {
        const std::size_t size = static_cast<std::size_t>(length) + 1;
        if (blocks.empty() || used + size > BlockSize) {
            // Offsets are 32-bit: past 4 GiB of names the set cannot grow, like memory running out.
            if ((blocks.size() + 1) * BlockSize > 0xFFFFFFFFu)
                OutOfMemory();
            blocks.emplace_back(new unsigned char[BlockSize]);
            used = 0;
        }
        unsigned char* place = blocks.back().get() + used;
        place[0] = static_cast<unsigned char>(length);
        std::memcpy(place + 1, name, static_cast<std::size_t>(length));
        const std::size_t offset = (blocks.size() - 1) * BlockSize + used;
        used += size;
        return static_cast<std::uint32_t>(offset);
    }

    void Grow()
    {
        std::vector<std::uint8_t> oldTags;
        std::vector<std::uint32_t> oldOffsets;
        oldTags.swap(tags);
        oldOffsets.swap(offsets);
        const std::size_t size = oldTags.empty() ? 1024 : oldTags.size() * 2;
        tags.assign(size, 0);
        offsets.assign(size, 0);
        const std::size_t mask = size - 1;
        for (std::size_t old = 0; old < oldTags.size(); ++old) {
            if (oldTags[old] == 0)
                continue;
            const unsigned char* stored = At(oldOffsets[old]);
            std::size_t slot = Fnv1a(reinterpret_cast<const char*>(stored + 1), stored[0]) & mask;
            while (tags[slot] != 0)
                slot = (slot + 1) & mask;
            tags[slot] = oldTags[old];
            offsets[slot] = oldOffsets[old];
        }
    }

    std::vector<std::unique_ptr<unsigned char[]>> blocks;
    std::size_t used = 0;  // bytes used in the last block
    std::vector<std::uint8_t> tags;
    std::vector<std::uint32_t> offsets;
    std::size_t count = 0;
};

NameStream::NameStream(std::uint64_t seed, GenderChoice gender, const char* prefixText,
                       const NameConstraints& given, std::uint64_t limit)
    : genderChoice(gender), constraints(given), constrained(given.Any()), dryLimit(limit)
{
    random.Seed(seed);
    if (prefixText)
        std::snprintf(prefix, sizeof prefix, "%s", prefixText);
    constraints.endsWith = LowerAscii(constraints.endsWith);
    for (std::string& piece : constraints.exclude)
        piece = LowerAscii(piece);
    if (constraints.unique)
        seen.reset(new SeenNames);
}

NameStream::~NameStream() = default;

void NameStream::ComposeNextBoard()
{
    switch (genderChoice) {
    case GenderChoice::Male: boardGender = Male; break;
    case GenderChoice::Female: boardGender = Female; break;
    case GenderChoice::Drawn: boardGender = DrawStartGender(random); break;
    }
    ComposeBoard(random, boardGender, prefix, board);
    ++boards;
    position = 0;
}

bool NameStream::Meets(const char* name, int length)
{
    if (length < constraints.minLength)
        return false;
    if (constraints.maxLength != 0 && length > constraints.maxLength)
        return false;
    const int endLength = static_cast<int>(constraints.endsWith.size());
    if (endLength > length)
        return false;
    for (int index = 0; index < endLength; ++index) {
        if (LowerAscii(name[length - endLength + index]) != constraints.endsWith[index])
            return false;
    }
    if (!constraints.exclude.empty()) {
        char lowerName[NameSlotSize];
        for (int index = 0; index < length; ++index)
            lowerName[index] = LowerAscii(name[index]);
        for (const std::string& piece : constraints.exclude) {
            if (std::search(lowerName, lowerName + length, piece.begin(), piece.end()) !=
                lowerName + length)
                return false;
        }
    }
    // Last: only a name that meets everything else is remembered.
    return !seen || seen->Insert(name, length);
}

bool NameStream::NextComposing(StreamName& name)
{
    while (!dry) {
        if (position == NamesPerBoard)
            ComposeNextBoard();
        const int index = position++;
        ++composed;
        if (!constrained || Meets(board.names[index], board.lengths[index])) {
            ++kept;
            composedSinceKept = 0;
            Hand(index, name);
            return true;
        }
        if (++composedSinceKept >= dryLimit)
            dry = true;
    }
    return false;
}

std::uint64_t SeedFromWord(const char* word)
{
    return Fnv1a(word, std::strlen(word));
}

std::uint64_t EntropySeed()
{
    const std::uint64_t SeedBits = (std::uint64_t(1) << 30) - 1;
    try {
        std::random_device device;
        return device() & SeedBits;
    } catch (...) {
        // No entropy source here: the clock, hashed, is the best left.
        const std::uint64_t clock = static_cast<std::uint64_t>(std::time(nullptr));
        return Fnv1a(reinterpret_cast<const char*>(&clock), sizeof clock) & SeedBits;
    }
}

}  // namespace norvathel
