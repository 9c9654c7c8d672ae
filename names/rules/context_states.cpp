#include "rules/context_states.h"

#include <algorithm>
#include <set>

#include <norvathel/style.h>

#include "text/letters.h"

namespace norvathel {

namespace {

bool Holds(const StyleContext& entry, int kind)
{
    const FragmentTable* kinds[ContextKinds] = {&entry.consonants,    &entry.clusters,    &entry.vowels,
                                                &entry.femaleEndings, &entry.maleEndings, &entry.neutralEndings};
    return kinds[kind]->drawn > 0;
}

}  // namespace

int ContextStates::Group(const std::string& text) const
{
    const auto found = groups.find(text);
    return found == groups.end() ? -1 : found->second;
}

void ContextStates::Build(const StyleData& style, int gender)
{
    *this = ContextStates();
    std::set<std::vector<std::string>> ownAfter;  // after what the gender has entries of its own
    for (const StyleContext& entry : style.contexts) {
        for (const std::string& text : entry.after)
            groups.emplace(text, static_cast<int>(groups.size()));
        if (entry.gender == gender)
            ownAfter.insert(entry.after);
    }
    const std::size_t count = groups.size();
    // State 0, then one state per group, then one per entry after two groups.
    last.assign(1, -1);
    alone.resize(count);
    pairs.resize(count);
    for (std::size_t group = 0; group < count; ++group) {
        alone[group] = static_cast<int>(last.size());
        last.push_back(static_cast<int>(group));
    }
    std::vector<int> entryOf(last.size(), -1);
    for (std::size_t k = 0; k < style.contexts.size(); ++k) {
        const std::vector<std::string>& after = style.contexts[k].after;
        const int of = style.contexts[k].gender;
        if (of != gender && (of != -1 || ownAfter.count(after) != 0))
            continue;  // another gender's, or given way to this gender's own
        const int lastGroup = Group(after.back());
        if (after.size() == 1) {
            entryOf[static_cast<std::size_t>(alone[static_cast<std::size_t>(lastGroup)])] = static_cast<int>(k);
            continue;
        }
        pairs[static_cast<std::size_t>(Group(after[0]))].push_back({lastGroup, static_cast<int>(last.size())});
        last.push_back(lastGroup);
        entryOf.push_back(static_cast<int>(k));
    }
    for (auto& after : pairs)
        std::sort(after.begin(), after.end());
    // Each state's tables: its own entry's, else the entry of its last group alone, else the
    // style's.
    tables.assign(last.size() * ContextKinds, 0);
    for (std::size_t state = 0; state < last.size(); ++state)
        for (int kind = 0; kind < ContextKinds; ++kind) {
            int table = kind;
            const int lastGroup = last[state];
            const int shorter = lastGroup < 0 ? -1 : entryOf[static_cast<std::size_t>(alone[static_cast<std::size_t>(lastGroup)])];
            if (shorter >= 0 && Holds(style.contexts[static_cast<std::size_t>(shorter)], kind))
                table = ContextKinds * (shorter + 1) + kind;
            const int own = entryOf[state];
            if (own >= 0 && Holds(style.contexts[static_cast<std::size_t>(own)], kind))
                table = ContextKinds * (own + 1) + kind;
            tables[state * ContextKinds + static_cast<std::size_t>(kind)] = table;
        }
}

int ContextStates::Next(int state, int group) const
{
    if (group < 0)
        return 0;
    const int before = last[static_cast<std::size_t>(state)];
    if (before >= 0) {
        const auto& after = pairs[static_cast<std::size_t>(before)];
        const auto found = std::lower_bound(after.begin(), after.end(), std::make_pair(group, 0));
        if (found != after.end() && found->first == group)
            return found->second;
    }
    return alone[static_cast<std::size_t>(group)];
}

int ContextStates::AfterText(const std::string& text, const std::string& vowelLetters) const
{
    if (Empty())
        return 0;
    const std::string small = SmallText(text);
    const std::string vowels = SmallText(vowelLetters);
    int state = 0;
    std::string group;
    bool groupIsVowel = false;
    for (std::size_t at = 0; at < small.size();) {
        Letter letter = DecodeLetter(small, at);
        if (letter.length == 0)
            letter = {static_cast<unsigned char>(small[at]), 1};  // a byte of its own
        const std::string bytes = small.substr(at, static_cast<std::size_t>(letter.length));
        const bool vowel = vowels.find(bytes) != std::string::npos;  // UTF-8 finds whole letters only
        if (!group.empty() && vowel != groupIsVowel) {
            state = Next(state, Group(group));
            group.clear();
        }
        group += bytes;
        groupIsVowel = vowel;
        at += static_cast<std::size_t>(letter.length);
    }
    return group.empty() ? state : Next(state, Group(group));
}

}  // namespace norvathel
