#include "composer_rules.h"

#include <algorithm>

#include <norvathel/style.h>

#include "fragment_tables.h"
#include "name_finishing.h"

namespace norvathel {

namespace {

template <std::size_t Width>
std::vector<std::string> Distinct(const char (*table)[Width], int draws)
{
    std::vector<std::string> texts;
    for (int k = 0; k < draws; ++k)
        if (std::find(texts.begin(), texts.end(), table[k]) == texts.end())
            texts.push_back(table[k]);
    return texts;
}

ComposerRules Compiled()
{
    ComposerRules rules;
    rules.consonants = Distinct(Consonants, ConsonantDraws);
    rules.clusters = Distinct(Clusters, ClusterDraws);
    rules.vowels = Distinct(Vowels, VowelDraws);
    rules.endings = Distinct(FemaleEndings, EndingDraws);
    rules.vowelLetters = "aeiouAEIOU";
    rules.neverOpening = {"y"};
    rules.repeatable = {"e", "o"};
    return rules;
}

std::vector<std::string> Distinct(const FragmentTable& table)
{
    std::vector<std::string> texts;
    for (int k = 0; k < table.drawn && k < static_cast<int>(table.fragments.size()); ++k)
        if (std::find(texts.begin(), texts.end(), table.fragments[static_cast<std::size_t>(k)]) == texts.end())
            texts.push_back(table.fragments[static_cast<std::size_t>(k)]);
    return texts;
}

bool CanHit(const Chance& chance)
{
    return chance.of > 0 && chance.in > 0;
}

bool CanMiss(const Chance& chance)
{
    return chance.of == 0 || chance.in < chance.of;
}

// The style's vowel letters and their capitals, as texts.
std::vector<std::string> VowelEnds(const std::string& letters)
{
    std::vector<std::string> ends;
    for (std::size_t at = 0; at < letters.size();) {
        std::size_t length = 1;
        const unsigned char lead = static_cast<unsigned char>(letters[at]);
        if (lead >= 0xC0)
            length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const std::string letter = letters.substr(at, length);
        ends.push_back(letter);
        if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z')
            ends.push_back(std::string(1, static_cast<char>(letter[0] - 32)));
        if (letter.size() == 2) {
            const unsigned capital = LatinCapital((lead & 0x1Fu) << 6 | (static_cast<unsigned char>(letter[1]) & 0x3Fu));
            if (capital != 0)
                ends.push_back(std::string{static_cast<char>(0xC0 | capital >> 6), static_cast<char>(0x80 | (capital & 0x3F))});
        }
        at += length;
    }
    return ends;
}

}  // namespace

ComposerRules RulesOf(const StyleData& style)
{
    ComposerRules rules;
    rules.consonants = Distinct(style.consonants);
    rules.clusters = style.cluster.in > 0 ? Distinct(style.clusters) : std::vector<std::string>();
    rules.vowels = Distinct(style.vowels);
    rules.femaleEnds = style.femaleClosing == Closing::Ending;
    rules.maleEnds = style.maleClosing == Closing::Ending;
    if (rules.femaleEnds)
        rules.endings = Distinct(style.femaleEndings);
    if (rules.maleEnds)
        rules.maleEndings = Distinct(style.maleEndings);
    rules.vowelEnds = VowelEnds(style.vowelLetters);
    rules.vowelLetters.clear();
    rules.neverOpening = style.noOpening;
    rules.repeatable = style.repeatable;
    rules.fewestPositions = style.minPositions;
    rules.mostPositions = style.maxPositions;
    rules.vowelRunLimit = style.maxVowelRun;
    rules.endingLead = style.endingFrom;
    rules.openingConsonant[Male] = CanHit(style.maleOpening);
    rules.openingDecides[Male] = CanMiss(style.maleOpening);
    rules.openingConsonant[Female] = CanHit(style.femaleOpening);
    rules.openingDecides[Female] = CanMiss(style.femaleOpening);
    rules.consonantDrawn = CanHit(style.consonant);
    rules.vowelDrawn = CanMiss(style.consonant);
    rules.clusterDrawn = CanHit(style.cluster);
    rules.singleDrawn = CanMiss(style.cluster);
    rules.clusterOpens = style.clusterOpens;
    return rules;
}

const ComposerRules& CompiledRules()
{
    static const ComposerRules rules = Compiled();
    return rules;
}

}  // namespace norvathel
