#include "built_in_styles.h"

#include <cstring>

#include "fragment_tables.h"

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

// A table written as its fragments separated by spaces, in order; all of them drawn.
FragmentTable Table(const char* fragments)
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

// Vowel-rich and liquid: l, r, n, m and v, diphthongs, long gliding endings.
StyleData Liquid()
{
    StyleData s;
    s.name = "liquid";
    s.description = "Flowing and vowel-rich: l, r, n and v, soft diphthongs, endings like -iel and -wen";
    s.consonants = Table("l l l l r r r n n n m v th s h d");
    s.clusters = Table("ll nd ld rn lv th ls rd");
    s.clusterOpens = false;
    s.vowels = Table("a a e e i o ai ie");
    s.femaleEndings = Table("iel wen ara ithe ene ial eth ewen aliel ilwe elin ira iel wen ara ene");
    s.maleEndings = Table("or ion ael ir ond as eth orn iel adan anor or ion ael ir as");
    s.minPositions = 2;
    s.maxPositions = 5;
    s.maleOpening = {2, 4};
    s.cluster = {1, 4};
    s.maxVowelRun = 1;
    s.endingFrom = 1;
    s.maleClosing = Closing::Ending;
    s.femaleClosing = Closing::Ending;
    s.vowelLetters = "aeiou";
    s.noOpening = {};
    s.repeatable = {};
    s.surname.form = SurnameForm::HeadAndTail;
    s.surname.heads = Table("el lor mir sil fae ith nen aer tal vel and lin");
    s.surname.tails = Table("iel wen dor ithil rond lin mar nor thel las loth riel");
    return s;
}

// Hard stops, heavy clusters and dark vowels; names close on -ok, -gar, -dum.
StyleData Guttural()
{
    StyleData s;
    s.name = "guttural";
    s.description = "Hard and heavy: k, g, d and z, thick clusters, dark a-o-u vowels, endings like -ok and -uruk";
    s.consonants = Table("k k k g g g d d r r r z z b b t m n kh gh");
    s.clusters = Table("kr gr dr br zg rk rg rz gn");
    s.clusterOpens = false;
    s.vowels = Table("a a a o o u u u");
    s.femaleEndings = Table("a uga ara aka agga uruk urra oga azra ukha");
    s.maleEndings = Table("ok ag ug arak ogor udum uk az uruk omog argh");
    s.minPositions = 2;
    s.maxPositions = 4;
    s.maleOpening = {3, 4};
    s.femaleOpening = {2, 4};
    s.consonant = {2, 3};
    s.cluster = {1, 3};
    s.maxVowelRun = 1;
    s.endingFrom = 1;
    s.maleClosing = Closing::Ending;
    s.femaleClosing = Closing::Ending;
    s.noOpening = {};
    s.repeatable = {};
    s.surname.minPositions = 2;
    s.surname.maxPositions = 3;
    s.surname.tails = Table("gor mak dush grum bar kul zag rok gash");
    return s;
}

// Hissing and breathy: s, sh, z and h between long vowels.
StyleData Sibilant()
{
    StyleData s;
    s.name = "sibilant";
    s.description = "Hissing and breathy: s, sh, z and h between long vowels, endings like -isha and -ir";
    s.consonants = Table("s s s sh sh sh z z h h r n m l f j");
    s.clusters = Table("zh sr hm sm sn shr zr hn");
    s.clusterOpens = false;
    s.vowels = Table("a a i i u aa ii ou");
    s.femaleEndings = Table("ira ani isha iyya una ima asha iza ushi ahra ira isha asha ani una ima");
    s.maleEndings = Table("ir esh ur im az un ahim ash uz irr ir esh az ash un im");
    s.minPositions = 2;
    s.maxPositions = 5;
    s.maleOpening = {3, 4};
    s.cluster = {1, 8};
    s.maxVowelRun = 1;
    s.endingFrom = 1;
    s.maleClosing = Closing::Ending;
    s.femaleClosing = Closing::Ending;
    s.noOpening = {};
    s.repeatable = {};
    s.surname.minPositions = 2;
    s.surname.maxPositions = 3;
    s.surname.tails = Table("hazar sharan izar oumi esh assar ushan ihar");
    return s;
}

// Crisp and cold: short words with sk, fj and kv, the vowels å, ø and æ.
StyleData Crisp()
{
    StyleData s;
    s.name = "crisp";
    s.description = "Crisp and cold: sk, fj and kv, the vowels å, ø and æ, endings like -ild and -ulf";
    s.consonants = Table("s s k k t t v v r r n n l l d d f h j b g");
    s.clusters = Table("sk st kj fj tr br gn sv hj kv");
    s.clusterOpens = false;
    s.vowels = Table("a a e e i o u å ø æ ei y");
    s.femaleEndings = Table("ild ird is eig unn eja ís eve yn erd");
    s.maleEndings = Table("ulf ar ard und ald ir eir olf");
    s.minPositions = 2;
    s.maxPositions = 4;
    s.maleOpening = {3, 4};
    s.femaleOpening = {3, 4};
    s.consonant = {1, 2};
    s.cluster = {1, 3};
    s.maxVowelRun = 1;
    s.endingFrom = 1;
    s.maleClosing = Closing::Ending;
    s.femaleClosing = Closing::Ending;
    s.vowelLetters = "aeiouyåøæ";
    s.noOpening = {"y"};
    s.repeatable = {};
    s.capitals = Capitals::Latin;
    s.surname.minPositions = 2;
    s.surname.maxPositions = 3;
    s.surname.tails = Table("dal vik strøm hø fjell mark bakk sen");
    return s;
}

// Clipped and quick: strict consonant-vowel beats, doubled stops, open vowel endings.
StyleData Staccato()
{
    StyleData s;
    s.name = "staccato";
    s.description = "Clipped and quick: strict consonant-vowel beats, doubled stops, open endings like -oko and -ita";
    s.consonants = Table("t t k k p p m n r s h");
    s.clusters = Table("tt kk pp ss nt nk mp");
    s.clusterOpens = false;
    s.vowels = Table("a a i i o o u u e");
    s.femaleEndings = Table("a aka ita ari i ina ette");
    s.maleEndings = Table("o o u oko ito apo io");
    s.minPositions = 2;
    s.maxPositions = 5;
    s.maleOpening = {4, 4};
    s.femaleOpening = {4, 4};
    s.cluster = {1, 3};
    s.maxVowelRun = 1;
    s.endingFrom = 1;
    s.maleClosing = Closing::Ending;
    s.femaleClosing = Closing::Ending;
    s.noOpening = {};
    s.repeatable = {};
    s.surname.minPositions = 2;
    s.surname.maxPositions = 3;
    s.surname.tails = Table("ppa kki tto mma nni kku");
    return s;
}

}  // namespace

StyleData ClassicStyleData()
{
    StyleData s;
    s.name = "classic";
    s.description = "The window's own voice: light vowels, soft clusters, female endings like -ia and -elle";
    s.consonants = TableOf(Consonants, ConsonantDraws);
    s.clusters = TableOf(Clusters, ClusterDraws);
    s.vowels = TableOf(Vowels, VowelDraws);
    s.femaleEndings = TableOf(FemaleEndings, EndingDraws);
    // The rest are the defaults of StyleData, which are the window's rules; surnames are
    // classic's own stems with a tail.
    s.surname.tails = Table("ar en ith orn ell ane ard oth ric wyn");
    return s;
}

std::vector<StyleData> BuiltInStyleData()
{
    return {ClassicStyleData(), Liquid(), Guttural(), Sibilant(), Crisp(), Staccato()};
}

}  // namespace norvathel
