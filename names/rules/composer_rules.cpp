#include "rules/composer_rules.h"

#include <algorithm>
#include <set>

#include <norvathel/style.h>

#include "text/letters.h"

namespace norvathel {

namespace {

// Each drawn text once, in table order (a set to tell, as a table holds up to 4096).
std::vector<std::string> Distinct(const FragmentTable& table)
{
    std::vector<std::string> texts;
    std::set<std::string> seen;
    for (int k = 0; k < table.drawn && k < static_cast<int>(table.fragments.size()); ++k)
        if (seen.insert(table.fragments[static_cast<std::size_t>(k)]).second)
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
    rules.vowelEnds = WithCapitals(style.vowelLetters);
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
    rules.latinCapitals = style.capitals == Capitals::Latin;
    return rules;
}

const ComposerRules& RulesOfClassic()
{
    static const ComposerRules rules = RulesOf(Style::Classic().Data());
    return rules;
}

}  // namespace norvathel
