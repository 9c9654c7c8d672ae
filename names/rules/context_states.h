// What a format 2 style's contexts make of the groups before a fragment: a state the composer
// and the analyses carry through a name, and for each state the table each kind of fragment is
// drawn from. Only the last groups matter, so the states are few: nothing known (0), the last
// group alone where some entry names it, and the last two where an entry is drawn after both.
//
// A group is a fragment the composer appended; a prefix's groups are its runs of vowel letters
// and of other letters, made small. An entry's empty table leaves its kind to the entry of the
// last group alone, and that one's to the style's own table ("back-off"), so a context seen in
// one example still composes.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace norvathel {

struct StyleData;

// The tables a context entry may replace, in the order an entry's tables are numbered.
enum ContextKind { ConsonantKind, ClusterKind, VowelKind, FemaleEndingKind, MaleEndingKind, NeutralEndingKind, ContextKinds };

class ContextStates {
public:
    // The states of a style's contexts for names of a gender (checked: each entry after 1 or
    // 2 fragments, once for every gender and once for each gender). Groups are numbered alike
    // for every gender.
    void Build(const StyleData& style, int gender);

    bool Empty() const { return last.size() <= 1; }
    int Count() const { return static_cast<int>(last.size()); }
    // The number a group's text has, -1 for one no entry names.
    int Group(const std::string& text) const;
    // The state after group (its number) is appended in state.
    int Next(int state, int group) const;
    // The state after a prefix, from nothing known.
    int AfterText(const std::string& text, const std::string& vowelLetters) const;
    // The table a fragment of kind is drawn from in state: kind itself for the style's own,
    // ContextKinds * (entry + 1) + kind for an entry's.
    int TableOf(int state, int kind) const
    {
        return tables[static_cast<std::size_t>(state) * ContextKinds + static_cast<std::size_t>(kind)];
    }

private:
    std::map<std::string, int> groups;
    std::vector<int> last;    // by state: its last group, -1 for state 0
    std::vector<int> alone;   // by group: the state of that group alone
    // By group: the groups after it that make a state of two, sorted, with that state.
    std::vector<std::vector<std::pair<int, int>>> pairs;
    std::vector<int> tables;  // by state and kind
};

}  // namespace norvathel
