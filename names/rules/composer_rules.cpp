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

Results PossibleResults(const Chance& chance)
{
    return ResultsOf(chance.in, chance.of);
}

}  // namespace

ComposerRules RulesOf(const StyleData& style)
{
    ComposerRules rules;
    rules.consonants = Distinct(style.consonants);
    rules.clusters = style.cluster.in > 0 ? Distinct(style.clusters) : std::vector<std::string>();
    rules.vowels = Distinct(style.vowels);
    rules.closesWithEnding[Male] = style.maleClosing == Closing::Ending;
    rules.closesWithEnding[Female] = style.femaleClosing == Closing::Ending;
    if (rules.closesWithEnding[Female])
        rules.endings = Distinct(style.femaleEndings);
    if (rules.closesWithEnding[Male])
        rules.maleEndings = Distinct(style.maleEndings);
    rules.hasNeutral = style.hasNeutral;
    rules.closesWithEnding[Neutral] = style.hasNeutral && style.neutralClosing == Closing::Ending;
    if (rules.closesWithEnding[Neutral])
        rules.neutralEndings = Distinct(style.neutralEndings);
    rules.opening[Neutral] = PossibleResults(style.neutralOpening);
    rules.vowelEnds = WithCapitals(style.vowelLetters);
    rules.vowelLetters = style.vowelLetters;
    rules.neverOpening = style.noOpening;
    rules.repeatable = style.repeatable;
    rules.minPositions = style.minPositions;
    rules.maxPositions = style.maxPositions;
    for (int g : {Male, Female, Neutral}) {
        std::set<int> counts(style.genderPositions[g].begin(), style.genderPositions[g].end());
        for (int count = style.minPositions; counts.empty() && count <= style.maxPositions; ++count)
            rules.positions[g].push_back(count);
        rules.positions[g].insert(rules.positions[g].end(), counts.begin(), counts.end());
        if (!rules.positions[g].empty())
            rules.maxPositions = std::max(rules.maxPositions, rules.positions[g].back());
    }
    rules.maxVowelRun = style.maxVowelRun;
    rules.endingFrom = style.endingFrom;
    rules.opening[Male] = PossibleResults(style.maleOpening);
    rules.opening[Female] = PossibleResults(style.femaleOpening);
    rules.consonant = PossibleResults(style.consonant);
    rules.cluster = PossibleResults(style.cluster);
    rules.clusterOpens = style.clusterOpens;
    rules.capitals = style.capitals;
    rules.tables = {rules.consonants, rules.clusters, rules.vowels, rules.endings, rules.maleEndings, rules.neutralEndings};
    if (!style.contexts.empty()) {
        for (int gender : {Male, Female, Neutral})
            rules.contexts[gender].Build(style, gender);
        for (const StyleContext& entry : style.contexts)
            for (const FragmentTable* table : {&entry.consonants, &entry.clusters, &entry.vowels, &entry.femaleEndings,
                                               &entry.maleEndings, &entry.neutralEndings})
                rules.tables.push_back(Distinct(*table));
    }
    return rules;
}

const ComposerRules& RulesOfClassic()
{
    static const ComposerRules rules = RulesOf(Style::Classic().Data());
    return rules;
}

}  // namespace norvathel
