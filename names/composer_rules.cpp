#include "composer_rules.h"

#include <algorithm>

#include "fragment_tables.h"

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

}  // namespace

const ComposerRules& CompiledRules()
{
    static const ComposerRules rules = Compiled();
    return rules;
}

}  // namespace norvathel
