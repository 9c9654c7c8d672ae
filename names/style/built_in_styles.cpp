// The built-in styles other than classic, and built-in styles by name.
#include "style/built_in_styles.h"

#include <memory>

#include "style/compiled_style.h"

namespace norvathel {

namespace {

// What these voices share beyond classic's defaults: clusters only inside a name, never two
// vowel fragments in a row, and names of both genders closing on an ending from the last
// position on.
// Names of no gender: an opening between the genders' and endings of their own, close to both
// genders' without being either's.
void WithNeutral(StyleData& s, Chance opening, const char* endings)
{
    s.hasNeutral = true;
    s.neutralOpening = opening;
    s.neutralClosing = Closing::Ending;
    s.neutralEndings = SpacedTable(endings);
}

StyleData NewVoice(const char* name, const char* description)
{
    StyleData s;
    s.name = name;
    s.description = description;
    s.clusterOpens = false;
    s.maxVowelRun = 1;
    s.endingFrom = 1;
    s.maleClosing = Closing::Ending;
    return s;
}

// Vowel-rich and liquid: l, r, n, m and v, diphthongs, long gliding endings.
StyleData Liquid()
{
    StyleData s = NewVoice("liquid",
                           "Flowing and vowel-rich: l, r, n and v, soft diphthongs, endings like -iel and -wen");
    s.consonants = SpacedTable("l l l l r r r n n n m v th s h d");
    s.clusters = SpacedTable("ll nd ld rn lv th ls rd");
    s.vowels = SpacedTable("a a e e i o ai ie");
    s.femaleEndings = SpacedTable("iel wen ara ithe ene ial eth ewen aliel ilwe elin ira iel wen ara ene");
    s.maleEndings = SpacedTable("or ion ael ir ond as eth orn iel adan anor or ion ael ir as");
    s.minPositions = 2;
    s.maxPositions = 5;
    s.maleOpening = {2, 4};
    s.cluster = {1, 4};
    s.noOpening = {};
    s.repeatable = {};
    s.surname.form = SurnameForm::HeadAndTail;
    s.surname.heads = SpacedTable("el lor mir sil fae ith nen aer tal vel and lin");
    s.surname.tails = SpacedTable("iel wen dor ithil rond lin mar nor thel las loth riel");
    WithNeutral(s, {1, 4}, "el ir en is ian ael eth in wen ien el ir");
    return s;
}

// Hard stops, heavy clusters and dark vowels; names close on -ok, -gar, -dum.
StyleData Guttural()
{
    StyleData s = NewVoice("guttural",
                           "Hard and heavy: k, g, d and z, thick clusters, dark a-o-u vowels, endings like -ok and -uruk");
    s.consonants = SpacedTable("k k k g g g d d r r r z z b b t m n kh gh");
    s.clusters = SpacedTable("kr gr dr br zg rk rg rz gn");
    s.vowels = SpacedTable("a a a o o u u u");
    s.femaleEndings = SpacedTable("a uga ara aka agga uruk urra oga azra ukha");
    s.maleEndings = SpacedTable("ok ag ug arak ogor udum uk az uruk omog argh");
    s.minPositions = 2;
    s.maxPositions = 4;
    s.maleOpening = {3, 4};
    s.femaleOpening = {2, 4};
    s.consonant = {2, 3};
    s.cluster = {1, 3};
    s.noOpening = {};
    s.repeatable = {};
    s.surname.tails = SpacedTable("gor mak dush grum bar kul zag rok gash");
    WithNeutral(s, {5, 8}, "ak ug ar og uk ad ur ag ok ar");
    return s;
}

// Hissing and breathy: s, sh, z and h between long vowels.
StyleData Sibilant()
{
    StyleData s = NewVoice("sibilant",
                           "Hissing and breathy: s, sh, z and h between long vowels, endings like -isha and -ir");
    s.consonants = SpacedTable("s s s sh sh sh z z h h r n m l f j");
    s.clusters = SpacedTable("zh sr hm sm sn shr zr hn");
    s.vowels = SpacedTable("a a i i u aa ii ou");
    s.femaleEndings = SpacedTable("ira ani isha iyya una ima asha iza ushi ahra ira isha asha ani una ima");
    s.maleEndings = SpacedTable("ir esh ur im az un ahim ash uz irr ir esh az ash un im");
    s.minPositions = 2;
    s.maxPositions = 5;
    s.maleOpening = {3, 4};
    s.cluster = {1, 8};
    s.noOpening = {};
    s.repeatable = {};
    s.surname.tails = SpacedTable("hazar sharan izar oumi esh assar ushan ihar");
    WithNeutral(s, {3, 8}, "is ash im esh ani ur iz ai is ash");
    return s;
}

// Crisp and cold: short words with sk, fj and kv, the vowels å, ø and æ.
StyleData Crisp()
{
    StyleData s = NewVoice("crisp",
                           "Crisp and cold: sk, fj and kv, the vowels å, ø and æ, endings like -ild and -ulf");
    s.consonants = SpacedTable("s s k k t t v v r r n n l l d d f h j b g");
    s.clusters = SpacedTable("sk st kj fj tr br gn sv hj kv");
    s.vowels = SpacedTable("a a e e i o u å ø æ ei y");
    s.femaleEndings = SpacedTable("ild ird is eig unn eja ís eve yn erd");
    s.maleEndings = SpacedTable("ulf ar ard und ald ir eir olf");
    s.minPositions = 2;
    s.maxPositions = 4;
    s.maleOpening = {3, 4};
    s.femaleOpening = {3, 4};
    s.consonant = {1, 2};
    s.cluster = {1, 3};
    s.vowelLetters = "aeiouyåøæ";
    s.noOpening = {"y"};
    s.repeatable = {};
    s.capitals = Capitals::Latin;
    s.surname.tails = SpacedTable("dal vik strøm hø fjell mark bakk sen");
    WithNeutral(s, {3, 4}, "in ir yn is al und e in ir");
    return s;
}

// Clipped and quick: strict consonant-vowel beats, doubled stops, open vowel endings.
StyleData Staccato()
{
    StyleData s = NewVoice("staccato",
                           "Clipped and quick: strict consonant-vowel beats, doubled stops, open endings like -oko and -ita");
    s.consonants = SpacedTable("t t k k p p m n r s h");
    s.clusters = SpacedTable("tt kk pp ss nt nk mp");
    s.vowels = SpacedTable("a a i i o o u u e");
    s.femaleEndings = SpacedTable("a aka ita ari i ina ette");
    s.maleEndings = SpacedTable("o o u oko ito apo io");
    s.minPositions = 2;
    s.maxPositions = 5;
    s.maleOpening = {4, 4};
    s.femaleOpening = {4, 4};
    s.cluster = {1, 3};
    s.noOpening = {};
    s.repeatable = {};
    s.surname.tails = SpacedTable("ppa kki tto mma nni kku");
    WithNeutral(s, {4, 4}, "i o ito ako ki a i o");
    return s;
}

}  // namespace

std::vector<StyleData> BuiltInStyleData()
{
    return {ClassicStyleData(), Liquid(), Guttural(), Sibilant(), Crisp(), Staccato()};
}

namespace {

const std::vector<std::shared_ptr<const CompiledStyle>>& BuiltInVoices()
{
    static const std::vector<std::shared_ptr<const CompiledStyle>> voices = [] {
        std::vector<std::shared_ptr<const CompiledStyle>> built;
        for (const StyleData& data : BuiltInStyleData())
            built.push_back(BuiltInVoice(data));
        return built;
    }();
    return voices;
}

}  // namespace

bool Style::BuiltIn(const std::string& name, Style& style)
{
    if (name == "classic") {
        style = Classic();
        return true;
    }
    for (const auto& voice : BuiltInVoices()) {
        if (voice->data.name == name) {
            style = Style(voice);
            return true;
        }
    }
    return false;
}

std::vector<std::string> Style::BuiltInNames()
{
    std::vector<std::string> names;
    for (const StyleData& data : BuiltInStyleData())
        names.push_back(data.name);
    return names;
}

}  // namespace norvathel
