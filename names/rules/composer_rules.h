// A style told plainly, for reasoning about what it can compose rather than composing: its
// fragments (each text once; weights do not change what is possible), the numbers the rules
// of rules/composer_steps.h turn on, and what each chance can give. Made by RulesOf.
#pragma once
#include <string>
#include <vector>

#include <norvathel/style.h>  // Capitals

#include "rules/composer_steps.h"
#include "rules/context_states.h"

namespace norvathel {

struct ComposerRules {
    std::vector<std::string> consonants;  // single consonant fragments, drawable anywhere
    std::vector<std::string> clusters;    // consonant clusters, never at a name's last position
    std::vector<std::string> vowels;      // vowel fragments
    std::vector<std::string> endings;     // feminine endings
    std::vector<std::string> maleEndings; // masculine endings, for a style whose male names have them
    std::vector<std::string> neutralEndings;  // for a style whose neutral names have them
    // Vowel fragments that never open a name.
    std::vector<std::string> neverOpening;
    // Vowel fragments that may follow themselves; any other never repeats the last vowel
    // fragment (or a prefix equal to it).
    std::vector<std::string> repeatable;
    // The numbers of the rules (rules/composer_steps.h), as the style names them.
    int minPositions = 0;  // a name has from minPositions to maxPositions; a prefix takes position 0
    int maxPositions = 0;  // the most of any gender's
    // The counts of positions a name of each gender can draw, each once, in order.
    std::vector<int> positions[3];
    int maxVowelRun = 0;   // the count carries from name to name of a board, which starts at 0
    int endingFrom = 0;
    // Which gender closes on an ending from its table rather than on a consonant, by gender.
    bool closesWithEnding[3] = {};  // Male, Female, Neutral
    // The results each chance can give: the gender's opening draw, the kind draw (hit: a
    // consonant), the cluster draw (hit: a cluster).
    Results opening[3] = {};
    bool hasNeutral = false;  // the style makes neutral names
    Results consonant = {};
    Results cluster = {};
    bool clusterOpens = false;
    // The texts that make a prefix end in a vowel, which decides what may follow it: the
    // vowel letters and their capitals, as UTF-8.
    std::vector<std::string> vowelEnds;
    std::string vowelLetters;  // as the style writes them: a prefix's groups are cut by them
    // How a name's first letter is made capital (UpperCaseFirstLetterAs).
    Capitals capitals = Capitals::Ascii;
    // A format 2 style's contexts (empty otherwise), and every table by the number
    // ContextStates::TableOf gives it, each text once: the six above, then each entry's six.
    ContextStates contexts[3];  // by gender
    std::vector<std::vector<std::string>> tables;
};

struct StyleData;
// A style told plainly, for the same reasoning.
ComposerRules RulesOf(const StyleData& style);

// Classic's, made once.
const ComposerRules& RulesOfClassic();

}  // namespace norvathel
