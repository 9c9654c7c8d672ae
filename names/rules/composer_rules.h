// The composer told plainly, for reasoning about what it can compose rather than composing:
// its fragments (each text once; weights do not change what is possible) and the few numbers
// and sets its rules turn on, made from a style by RulesOf.
#pragma once
#include <string>
#include <vector>

namespace norvathel {

struct ComposerRules {
    std::vector<std::string> consonants;  // single consonant fragments, drawable anywhere
    std::vector<std::string> clusters;    // consonant clusters, never at a name's last position
    std::vector<std::string> vowels;      // vowel fragments
    std::vector<std::string> endings;     // feminine endings
    std::vector<std::string> maleEndings; // masculine endings, for a style whose male names have them
    // Vowel fragments that never open a name.
    std::vector<std::string> neverOpening;
    // Vowel fragments that may follow themselves; any other never repeats the last vowel
    // fragment (or a prefix equal to it).
    std::vector<std::string> repeatable;
    // A name has from fewestPositions to mostPositions positions; a prefix takes position 0.
    int fewestPositions = 3;
    int mostPositions = 6;
    // The kind rule: after exactly this many vowel fragments in a row the next fragment is a
    // consonant (the count carries from name to name of a board, and the board starts at 0).
    int vowelRunLimit = 2;
    // The female ending rule: once the vowel count is 0 and the position is at least
    // positions - endingLead, a feminine ending closes the name; a female name that still ends
    // in a consonant fragment gets one. The male closing rule: a male name that ends in a vowel
    // fragment gets one single consonant.
    int endingLead = 2;

    // What a style may change; the defaults are the compiled composer's. Which gender closes on
    // an ending from its table (and takes the ending rule above) rather than on a consonant.
    bool maleEnds = false;
    bool femaleEnds = true;
    // Whether a name's first fragment, without a prefix, can be a consonant by the gender's
    // opening draw, and whether that draw can leave the kind to the usual rule.
    bool openingConsonant[2] = {true, false};  // by gender: Male, Female
    bool openingDecides[2] = {true, true};
    // Whether the kind draw can give a consonant, and a vowel; whether the cluster draw can give
    // a cluster, and a single consonant; whether a cluster may open a name.
    bool consonantDrawn = true, vowelDrawn = true;
    bool clusterDrawn = true, singleDrawn = true;
    bool clusterOpens = true;
    // The texts that make a prefix end in a vowel, which decides what may follow it: the
    // vowel letters and their capitals, as UTF-8.
    std::vector<std::string> vowelEnds;
    // How a name's first letter is made capital: a..z only, or Latin letters too.
    bool latinCapitals = false;
};

struct StyleData;
// A style told plainly, for the same reasoning.
ComposerRules RulesOf(const StyleData& style);

// Classic's, made once.
const ComposerRules& RulesOfClassic();

}  // namespace norvathel
