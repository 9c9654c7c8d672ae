// Classic, the window's own voice, from the program's fragment tables: on its own, so that a
// program that composes only classic links none of the other styles.
#include "style/built_in_styles.h"

#include <cstring>

#include "compose/fragment_tables.h"

namespace norvathel {

namespace {

template <std::size_t Count, std::size_t Width>
FragmentTable TableOf(const char (&entries)[Count][Width], int drawn)
{
    FragmentTable table;
    for (int k = 0; k + 1 < static_cast<int>(Count); ++k)  // the last entry is the end marker
        table.fragments.push_back(entries[k]);
    table.drawn = drawn;
    return table;
}

}  // namespace

FragmentTable SpacedTable(const char* fragments)
{
    // Plain pointer work rather than a string stream: a stream brings the whole locale and
    // iostream machinery into every statically linked program that composes classic names.
    FragmentTable table;
    const char* at = fragments + std::strspn(fragments, " ");
    while (*at != '\0') {
        std::size_t length = std::strcspn(at, " ");
        table.fragments.emplace_back(at, length);
        at += length;
        at += std::strspn(at, " ");
    }
    table.drawn = static_cast<int>(table.fragments.size());
    return table;
}

StyleData ClassicStyleData()
{
    StyleData s;
    s.name = "classic";
    s.description = "The window's own voice: light vowels, soft clusters, female endings like -ia and -elle";
    s.consonants = TableOf(Consonants, ConsonantDraws);
    s.clusters = TableOf(Clusters, ClusterDraws);
    s.vowels = TableOf(Vowels, VowelDraws);
    s.femaleEndings = TableOf(FemaleEndings, EndingDraws);
    using Numbers = ClassicNumbers;
    s.minPositions = Numbers::minPositions;
    s.maxPositions = Numbers::maxPositions;
    s.maleOpening = {Numbers::maleOpeningIn, Numbers::maleOpeningOf};
    s.femaleOpening = {Numbers::femaleOpeningIn, Numbers::femaleOpeningOf};
    s.consonant = {Numbers::consonantIn, Numbers::consonantOf};
    s.cluster = {Numbers::clusterIn, Numbers::clusterOf};
    s.clusterOpens = Numbers::clusterOpens;
    s.maxVowelRun = Numbers::maxVowelRun;
    s.endingFrom = Numbers::endingFrom;
    s.maleClosing = Closing::Consonant;
    s.femaleClosing = Closing::Ending;
    // Names of no gender (never the window's): an opening between the genders', short endings.
    s.hasNeutral = true;
    s.neutralOpening = {3, 8};
    s.neutralClosing = Closing::Ending;
    s.neutralEndings = SpacedTable("an el in is en ar ey yn ian iel ael or ie ys ren lin an el in is");
    // The letters and the surnames' stems are StyleData's defaults; the tails are classic's.
    s.surname.tails = SpacedTable("ar en ith orn ell ane ard oth ric wyn");
    return s;
}

}  // namespace norvathel
