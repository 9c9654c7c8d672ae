// How true a learned style is to its examples, measured as the fidelity benchmark measures it:
// a quarter of the names held out, a style learned from the rest, and the letter trigrams of
// names it composes set against the held-out names'.
#include <norvathel/style_learning.h>

#include "learn/held_out.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "text/letters.h"

namespace norvathel {

namespace {

const int ComposedForCopies = 100000;
const std::uint64_t SplitSeed = 0x6E6F72766174686Cull;  // fixed, so that a list always reports alike

using Counts = std::unordered_map<std::string, double>;

// The letters of a name, made small, each a UTF-8 text.
std::vector<std::string> SmallLetters(const std::string& name)
{
    std::vector<std::string> letters;
    for (std::size_t at = 0; at < name.size();) {
        const Letter letter = DecodeLetter(name, at);
        if (letter.length == 0)
            break;
        letters.push_back(EncodeLetter(SmallLetter(letter.codePoint)));
        at += static_cast<std::size_t>(letter.length);
    }
    return letters;
}

// Trigrams of letters with a start and an end mark: "^ka", "kal", ..., "la$".
void AddTrigrams(const std::string& name, Counts& counts)
{
    std::vector<std::string> letters = SmallLetters(name);
    letters.insert(letters.begin(), "^");
    letters.push_back("$");
    for (std::size_t k = 0; k + 2 < letters.size(); ++k)
        counts[letters[k] + '\x1F' + letters[k + 1] + '\x1F' + letters[k + 2]] += 1;
}

// Jensen–Shannon divergence of two distributions given as counts, in bits (0 to 1).
double Divergence(const Counts& p, const Counts& q)
{
    double pTotal = 0, qTotal = 0;
    for (const auto& entry : p)
        pTotal += entry.second;
    for (const auto& entry : q)
        qTotal += entry.second;
    if (pTotal == 0 || qTotal == 0)
        return 1;
    double sum = 0;
    auto add = [&sum](double a, double b) {
        const double m = (a + b) / 2;
        if (a > 0)
            sum += a / 2 * std::log2(a / m);
        if (b > 0)
            sum += b / 2 * std::log2(b / m);
    };
    for (const auto& entry : p) {
        const auto other = q.find(entry.first);
        add(entry.second / pTotal, other == q.end() ? 0 : other->second / qTotal);
    }
    for (const auto& entry : q)
        if (p.find(entry.first) == p.end())
            add(0, entry.second / qTotal);
    return sum;
}

// The genders a list has names of (names of either gender count for both).
std::vector<Gender> GendersOf(const std::vector<ExampleName>& names)
{
    bool male = false, female = false;
    for (const ExampleName& name : names) {
        male = male || name.gender != ExampleGender::Female;
        female = female || name.gender != ExampleGender::Male;
    }
    std::vector<Gender> genders;
    if (male)
        genders.push_back(Male);
    if (female)
        genders.push_back(Female);
    return genders;
}

// count names of each gender, board by board from a fixed seed; guarded: without the names
// the style's guard keeps out, as streams give them.
template <typename Each>
void Compose(const Style& style, const std::vector<Gender>& genders, int count, Each each, bool guarded = false)
{
    AdditiveRandom random;
    random.SeedFull(SplitSeed);
    Board board;
    for (Gender gender : genders)
        // A guard that keeps out most names must not keep this going: at most 50 tries a name.
        for (int made = 0, boards = 0; made < count && boards < count * 5; ++boards) {
            style.ComposeBoard(random, gender, "", board);
            for (int k = 0; k < NamesPerBoard && made < count; ++k) {
                if (guarded && style.Guards(board.names[k], board.lengths[k]))
                    continue;
                each(std::string(board.names[k]));
                ++made;
            }
        }
}

// The names in a fixed shuffled order (Fisher–Yates from SplitMix64).
std::vector<ExampleName> Shuffled(std::vector<ExampleName> names)
{
    std::uint64_t state = SplitSeed;
    for (std::size_t k = names.size(); k > 1; --k)
        std::swap(names[k - 1], names[SplitMix64(state) % k]);
    return names;
}

}  // namespace

bool HeldOutDivergence(const std::vector<ExampleName>& names, const LearnWay& learn, double& bits, int perGender)
{
    const std::vector<ExampleName> shuffled = Shuffled(names);
    const std::size_t held = shuffled.size() / 4;
    if (held < 2)
        return false;
    const std::vector<ExampleName> heldOut(shuffled.begin(), shuffled.begin() + static_cast<std::ptrdiff_t>(held));
    const std::vector<ExampleName> rest(shuffled.begin() + static_cast<std::ptrdiff_t>(held), shuffled.end());
    StyleData data;
    StyleError error;
    Style style;
    if (!learn(rest, data) || !Style::FromData(data, style, error))
        return false;
    Counts composed, real;
    Compose(
        style, GendersOf(rest), perGender, [&composed](const std::string& name) { AddTrigrams(name, composed); },
        true);
    for (const ExampleName& name : heldOut)
        AddTrigrams(name.letters, real);
    bits = Divergence(composed, real);
    return true;
}

namespace {

}  // namespace

bool MeasureLearning(const std::vector<ExampleName>& names, const StyleData& learned, LearningQuality& quality)
{
    quality = LearningQuality();
    Style style;
    StyleError error;
    if (!Style::FromData(learned, style, error))
        return false;
    const int format = learned.format;
    quality.heldOut = HeldOutDivergence(
        names,
        [format](const std::vector<ExampleName>& rest, StyleData& data) {
            LearningSummary summary;
            StyleError fault;
            return LearnStyle(rest, data, summary, fault, format);
        },
        quality.heldOutBits);
    std::unordered_set<std::string> examples;
    for (const ExampleName& name : names)
        examples.insert(name.letters);
    std::unordered_set<std::string> distinct;
    const std::vector<Gender> genders = GendersOf(names);
    const int each = ComposedForCopies / static_cast<int>(genders.size());
    Compose(style, genders, each, [&](const std::string& name) {
        ++quality.composed;
        quality.copies += examples.count(SmallText(name)) != 0 ? 1 : 0;
        distinct.insert(name);
    });
    quality.distinct = static_cast<int>(distinct.size());
    return true;
}

}  // namespace norvathel
