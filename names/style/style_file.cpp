// Style files: TOML text to a checked style and back. The parser is toml++, header-only and
// built without exceptions, so the same code serves every platform. Every fault is reported
// with the line and column of what is wrong.
#include <norvathel/style.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "style/compiled_style.h"
#include "text/utf8_files.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#endif
#include <toml++/toml.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace norvathel {

namespace {

// The deepest a key's dotted parts, and lists and inline tables, may nest.
const int MaxNesting = 16;

struct Place {
    int line = 0;
    int column = 0;
};

Place PlaceOf(const toml::node& node)
{
    return {static_cast<int>(node.source().begin.line), static_cast<int>(node.source().begin.column)};
}

// Where each key and each of its entries stand in the file, for faults found later.
struct Places {
    std::map<std::string, Place> keys;
    std::map<std::string, std::vector<Place>> entries;

    Place Of(const std::string& key, int index) const
    {
        auto list = entries.find(key);
        if (index >= 0 && list != entries.end() && static_cast<std::size_t>(index) < list->second.size())
            return list->second[static_cast<std::size_t>(index)];
        auto found = keys.find(key);
        if (found != keys.end())
            return found->second;
        // A key that is not there: the table it belongs in, or the file's start.
        auto dot = key.rfind('.');
        return dot == std::string::npos ? Place{1, 1} : Of(key.substr(0, dot), -1);
    }
};

class Reader {
public:
    Reader(const std::string& sourceName, StyleError& fault) : error(fault)
    {
        error = StyleError();
        error.source = sourceName;
    }

    bool Fail(Place place, const std::string& message)
    {
        error.line = place.line;
        error.column = place.column;
        error.message = message;
        return false;
    }

    bool Read(const std::string& text, StyleData& data)
    {
        if (text.size() > MaxStyleBytes)
            return Fail({}, "the file is too large: over the limit of " + std::to_string(MaxStyleBytes) + " bytes");
        // A byte-order mark opens a file as it opens an example list: skipped.
        const std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        const std::string_view body = std::string_view(text).substr(start);
        if (!CheckBytes(body))
            return false;
        toml::parse_result parsed = toml::parse(body, std::string_view(error.source));
        if (!parsed) {
            const toml::parse_error& wrong = parsed.error();
            return Fail({static_cast<int>(wrong.source().begin.line), static_cast<int>(wrong.source().begin.column)},
                        "syntax error: " + std::string(wrong.description()));
        }
        const toml::table& root = parsed.table();
        data = StyleData();
        return Keys(root, "", {"format", "name", "description", "given", "letters", "tables", "surname", "guard", "contexts"}) &&
               Format(root, data) && Text(root, "name", data.name, true) &&
               Text(root, "description", data.description, false) && Given(root, data) &&
               Letters(root, data) && Tables(root, data) && Surname(root, data) && Guard(root, data) &&
               Contexts(root, data);
    }

    Places places;

private:
    // A control byte is refused wherever it stands (tab, line feed and a CR before a line feed
    // are the text's layout): TOML would take some of them inside strings as escapes anyway.
    // Letters beyond ASCII stand only inside strings and comments: elsewhere the parser's own
    // character tables are not to be trusted with them, and TOML has no use for them there.
    // A long string closes with the last three of a run of up to five quotes (one or two may
    // stand just before the closing three): at is left on the run's last quote.
    static void SkipClosingRun(std::string_view text, std::size_t& at, int& column)
    {
        std::size_t run = 1;
        while (run < 5 && at + run < text.size() && text[at + run] == text[at])
            ++run;
        at += run - 1;
        column += static_cast<int>(run - 1);
    }

    // The parser descends once for each part of a dotted key and each list or inline table it
    // is in, on the stack: both are limited here, before it sees the text, to depths a style
    // never needs and the smallest stack a program gives it (a thread's 1 MiB) easily holds.
    // Dots are counted from the last byte that can begin a key or a value, so a number's
    // decimal point counts as one.
    bool CheckBytes(std::string_view text)
    {
        enum class Inside { Nothing, Comment, Basic, Literal, LongBasic, LongLiteral } inside = Inside::Nothing;
        int line = 1, column = 1;
        int dots = 0, nesting = 0;
        for (std::size_t at = 0; at < text.size(); ++at) {
            const unsigned char byte = static_cast<unsigned char>(text[at]);
            const bool layout = byte == '\t' || byte == '\n' || (byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
            if ((byte < 32 || byte == 127) && !layout) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", byte);
                return Fail({line, column}, std::string("a control byte (") + hex + ")");
            }
            if (byte >= 0x80 && inside == Inside::Nothing)
                return Fail({line, column}, "a letter beyond ASCII outside a string or comment");
            const bool three = text.compare(at, 3, std::string(3, static_cast<char>(byte))) == 0;
            switch (inside) {
            case Inside::Nothing:
                if (byte == '.' && ++dots >= MaxNesting)
                    return Fail({line, column}, "a key of more than " + std::to_string(MaxNesting) + " dotted parts");
                if (byte == '=' || byte == '\n' || byte == ',' || byte == '[' || byte == ']' || byte == '{' ||
                    byte == '}')
                    dots = 0;
                if ((byte == '[' || byte == '{') && ++nesting > MaxNesting)
                    return Fail({line, column}, "lists and tables nested more than " + std::to_string(MaxNesting) +
                                                    " deep");
                if ((byte == ']' || byte == '}') && nesting > 0)
                    --nesting;
                if (byte == '#')
                    inside = Inside::Comment;
                else if (byte == '"' || byte == '\'') {
                    inside = byte == '"' ? (three ? Inside::LongBasic : Inside::Basic)
                                         : (three ? Inside::LongLiteral : Inside::Literal);
                    if (three)
                        at += 2, column += 2;
                }
                break;
            case Inside::Comment:
                if (byte == '\n')
                    inside = Inside::Nothing;
                break;
            case Inside::Basic:
            case Inside::LongBasic:
                if (byte == '\\' && at + 1 < text.size() && text[at + 1] != '\n') {
                    ++at, ++column;  // the escaped byte cannot end the string
                } else if (byte == '"' && (inside == Inside::Basic || three)) {
                    if (inside == Inside::LongBasic)
                        SkipClosingRun(text, at, column);
                    inside = Inside::Nothing;
                } else if (byte == '\n' && inside == Inside::Basic) {
                    inside = Inside::Nothing;  // the parser reports the unclosed string
                }
                break;
            case Inside::Literal:
            case Inside::LongLiteral:
                if (byte == '\'' && (inside == Inside::Literal || three)) {
                    if (inside == Inside::LongLiteral)
                        SkipClosingRun(text, at, column);
                    inside = Inside::Nothing;
                } else if (byte == '\n' && inside == Inside::Literal) {
                    inside = Inside::Nothing;
                }
                break;
            }
            if (byte == '\n') {
                ++line;
                column = 1;
            } else if ((byte & 0xC0) != 0x80) {
                ++column;
            }
        }
        return true;
    }

    static std::string Join(const std::string& table, const std::string& key)
    {
        return table.empty() ? key : table + "." + key;
    }

    bool Keys(const toml::table& table, const std::string& name, std::set<std::string> known)
    {
        for (const auto& entry : table) {
            const std::string key(entry.first.str());
            places.keys[Join(name, key)] = PlaceOf(entry.second);
            if (!known.count(key))
                return Fail(PlaceOf(entry.second), "unknown key '" + Join(name, key) + "'");
        }
        return true;
    }

    const toml::table* Section(const toml::table& root, const std::string& name)
    {
        const toml::node* node = root.get(name);
        if (node == nullptr)
            return &empty;
        if (!node->is_table()) {
            Fail(PlaceOf(*node), "'" + name + "' must be a table ([" + name + "])");
            return nullptr;
        }
        return node->as_table();
    }

    bool Format(const toml::table& root, StyleData& data)
    {
        const toml::node* node = root.get("format");
        if (node == nullptr)
            return Fail({1, 1}, "missing 'format = " + std::to_string(StyleFormatVersion) + "'");
        const std::int64_t format = node->is_integer() ? node->as_integer()->get() : 0;
        if (format != StyleFormatVersion && format != ContextStyleFormat)
            return Fail(PlaceOf(*node), "this program reads style formats " + std::to_string(StyleFormatVersion) +
                                            " and " + std::to_string(ContextStyleFormat));
        data.format = static_cast<int>(format);
        weighted = data.format == ContextStyleFormat;
        return true;
    }

    bool Text(const toml::table& table, const std::string& key, std::string& out, bool required,
              const std::string& name = "")
    {
        const toml::node* node = table.get(key);
        if (node == nullptr)
            return !required || Fail(places.Of(name, -1), "missing '" + Join(name, key) + "'");
        if (!node->is_string())
            return Fail(PlaceOf(*node), "'" + Join(name, key) + "' must be a string");
        out = node->as_string()->get();
        return true;
    }

    bool Number(const toml::table& table, const std::string& key, int& out, const std::string& name)
    {
        const toml::node* node = table.get(key);
        if (node == nullptr)
            return true;
        if (!node->is_integer())
            return Fail(PlaceOf(*node), "'" + Join(name, key) + "' must be a whole number");
        const std::int64_t value = node->as_integer()->get();
        // Out-of-range values are kept out of range (the check that follows names the limits).
        out = value > 1000000 ? 1000000 : value < -1000000 ? -1000000 : static_cast<int>(value);
        return true;
    }

    bool Flag(const toml::table& table, const std::string& key, bool& out, const std::string& name)
    {
        const toml::node* node = table.get(key);
        if (node == nullptr)
            return true;
        if (!node->is_boolean())
            return Fail(PlaceOf(*node), "'" + Join(name, key) + "' must be true or false");
        out = node->as_boolean()->get();
        return true;
    }

    bool Pair(const toml::table& table, const std::string& key, int& first, int& second, const std::string& name)
    {
        const toml::node* node = table.get(key);
        if (node == nullptr)
            return true;
        const toml::array* pair = node->as_array();
        if (pair == nullptr || pair->size() != 2 || !(*pair)[0].is_integer() || !(*pair)[1].is_integer())
            return Fail(PlaceOf(*node), "'" + Join(name, key) + "' must be two whole numbers, [a, b]");
        auto clamp = [](std::int64_t value) {
            return value > 1000000 ? 1000000 : value < -1000000 ? -1000000 : static_cast<int>(value);
        };
        first = clamp((*pair)[0].as_integer()->get());
        second = clamp((*pair)[1].as_integer()->get());
        return true;
    }

    bool Choice(const toml::table& table, const std::string& key, const char* a, const char* b, bool& isB,
                const std::string& name)
    {
        std::string word;
        if (!Text(table, key, word, false, name))
            return false;
        if (word.empty() && table.get(key) == nullptr)
            return true;
        if (word != a && word != b)
            return Fail(PlaceOf(*table.get(key)),
                        "'" + Join(name, key) + "' must be \"" + a + "\" or \"" + b + "\"");
        isB = word == b;
        return true;
    }

    bool Strings(const toml::table& table, const std::string& key, std::vector<std::string>& out,
                 const std::string& name)
    {
        const toml::node* node = table.get(key);
        if (node == nullptr)
            return true;
        const std::string full = Join(name, key);
        const toml::array* list = node->as_array();
        if (list == nullptr)
            return Fail(PlaceOf(*node), "'" + full + "' must be a list of strings");
        out.clear();
        std::vector<Place>& where = places.entries[full];
        for (const toml::node& item : *list) {
            if (!item.is_string())
                return Fail(PlaceOf(item), "'" + full + "' must be a list of strings");
            out.push_back(item.as_string()->get());
            where.push_back(PlaceOf(item));
        }
        return true;
    }

    bool Table(const toml::table& table, const std::string& key, FragmentTable& out, const std::string& name)
    {
        out = FragmentTable();
        if (!(weighted ? Weighted(table, key, out.fragments, name) : Strings(table, key, out.fragments, name)))
            return false;
        out.drawn = static_cast<int>(out.fragments.size());
        return Number(table, key + "_drawn", out.drawn, name);
    }

    // Format 2's tables: each entry a fragment, or a fragment and its weight, ["l", 31], which
    // stands for that many entries in a row. The weights are added up before anything is
    // made of them, so no number in a file can make a table larger than its limit.
    bool Weighted(const toml::table& table, const std::string& key, std::vector<std::string>& out,
                  const std::string& name)
    {
        const toml::node* node = table.get(key);
        if (node == nullptr)
            return true;
        const std::string full = Join(name, key);
        const std::string shape = "'" + full + "' must be a list of fragments, each \"text\" or [\"text\", weight]";
        const toml::array* list = node->as_array();
        if (list == nullptr)
            return Fail(PlaceOf(*node), shape);
        out.clear();
        std::vector<Place>& where = places.entries[full];
        std::int64_t total = 0;
        for (const toml::node& item : *list) {
            std::int64_t weight = 1;
            const toml::node* text = &item;
            if (const toml::array* pair = item.as_array()) {
                if (pair->size() != 2 || !(*pair)[0].is_string() || !(*pair)[1].is_integer())
                    return Fail(PlaceOf(item), shape);
                text = &(*pair)[0];
                weight = (*pair)[1].as_integer()->get();
                if (weight < 1 || weight > MaxTableFragments)
                    return Fail(PlaceOf((*pair)[1]), "'" + full + "': a weight is from 1 to " +
                                                         std::to_string(MaxTableFragments));
            } else if (!item.is_string()) {
                return Fail(PlaceOf(item), shape);
            }
            total += weight;
            if (total > MaxTableFragments)
                return Fail(PlaceOf(item), "'" + full + "': weights add up to more than " +
                                               std::to_string(MaxTableFragments));
            out.insert(out.end(), static_cast<std::size_t>(weight), text->as_string()->get());
            where.insert(where.end(), static_cast<std::size_t>(weight), PlaceOf(item));
        }
        return true;
    }

    bool Given(const toml::table& root, StyleData& data)
    {
        const toml::table* given = Section(root, "given");
        bool maleEnds = data.maleClosing == Closing::Ending, femaleEnds = data.femaleClosing == Closing::Ending;
        bool neutralEnds = true;
        bool ok = given && Keys(*given, "given", {"positions", "male_opening", "female_opening", "consonant", "cluster",
                                                  "cluster_opening", "max_vowel_run", "ending_from", "male_closing", "female_closing",
                                                  "neutral_opening", "neutral_closing", "male_positions",
                                                  "female_positions", "neutral_positions"}) &&
                  Positions(*given, "male_positions", data.genderPositions[Male]) &&
                  Positions(*given, "female_positions", data.genderPositions[Female]) &&
                  Positions(*given, "neutral_positions", data.genderPositions[Neutral]) &&
                  Pair(*given, "positions", data.minPositions, data.maxPositions, "given") &&
                  Pair(*given, "male_opening", data.maleOpening.in, data.maleOpening.of, "given") &&
                  Pair(*given, "female_opening", data.femaleOpening.in, data.femaleOpening.of, "given") &&
                  Pair(*given, "consonant", data.consonant.in, data.consonant.of, "given") &&
                  Pair(*given, "cluster", data.cluster.in, data.cluster.of, "given") &&
                  Flag(*given, "cluster_opening", data.clusterOpens, "given") &&
                  Number(*given, "max_vowel_run", data.maxVowelRun, "given") &&
                  Number(*given, "ending_from", data.endingFrom, "given") &&
                  Choice(*given, "male_closing", "consonant", "ending", maleEnds, "given") &&
                  Choice(*given, "female_closing", "consonant", "ending", femaleEnds, "given") &&
                  Pair(*given, "neutral_opening", data.neutralOpening.in, data.neutralOpening.of, "given") &&
                  Choice(*given, "neutral_closing", "consonant", "ending", neutralEnds, "given");
        data.maleClosing = maleEnds ? Closing::Ending : Closing::Consonant;
        data.femaleClosing = femaleEnds ? Closing::Ending : Closing::Consonant;
        // Neutral names are the style's only when it says how they close.
        data.hasNeutral = given && given->get("neutral_closing") != nullptr;
        data.neutralClosing = neutralEnds ? Closing::Ending : Closing::Consonant;
        return ok;
    }

    // Format 2: a gender's positions as a list of counts, each N or [N, weight].
    bool Positions(const toml::table& given, const std::string& key, std::vector<int>& out)
    {
        const toml::node* node = given.get(key);
        if (node == nullptr)
            return true;
        const std::string full = "given." + key;
        if (!weighted)
            return Fail(PlaceOf(*node), "'" + full + "' needs 'format = " + std::to_string(ContextStyleFormat) + "'");
        const std::string shape = "'" + full + "' must be a list of position counts, each N or [N, weight]";
        const toml::array* list = node->as_array();
        if (list == nullptr)
            return Fail(PlaceOf(*node), shape);
        std::int64_t total = 0;
        for (const toml::node& item : *list) {
            const toml::node* count = &item;
            std::int64_t weight = 1;
            if (const toml::array* pair = item.as_array()) {
                if (pair->size() != 2 || !(*pair)[0].is_integer() || !(*pair)[1].is_integer())
                    return Fail(PlaceOf(item), shape);
                count = &(*pair)[0];
                weight = (*pair)[1].as_integer()->get();
            } else if (!item.is_integer()) {
                return Fail(PlaceOf(item), shape);
            }
            const std::int64_t positions = count->as_integer()->get();
            if (positions < 1 || positions > MaxPositions)
                return Fail(PlaceOf(*count), "'" + full + "': a count of positions is from 1 to " + std::to_string(MaxPositions));
            if (weight < 1 || weight > MaxTableFragments || (total += weight) > MaxTableFragments)
                return Fail(PlaceOf(item), "'" + full + "': weights are from 1 and add up to at most " +
                                               std::to_string(MaxTableFragments));
            out.insert(out.end(), static_cast<std::size_t>(weight), static_cast<int>(positions));
        }
        if (out.empty())
            return Fail(PlaceOf(*node), "'" + full + "' is empty (leave it out to draw from 'given.positions')");
        return true;
    }

    bool Letters(const toml::table& root, StyleData& data)
    {
        const toml::table* letters = Section(root, "letters");
        std::string capitals;
        bool ok = letters && Keys(*letters, "letters", {"vowels", "no_opening", "repeatable", "capitals"}) &&
                  Text(*letters, "vowels", data.vowelLetters, false, "letters") &&
                  Strings(*letters, "no_opening", data.noOpening, "letters") &&
                  Strings(*letters, "repeatable", data.repeatable, "letters") &&
                  Text(*letters, "capitals", capitals, false, "letters");
        if (!ok || letters->get("capitals") == nullptr)
            return ok;
        if (capitals != "ascii" && capitals != "latin" && capitals != "unicode")
            return Fail(PlaceOf(*letters->get("capitals")), "'letters.capitals' must be \"ascii\", \"latin\" or \"unicode\"");
        data.capitals = capitals == "unicode" ? Capitals::Unicode : capitals == "latin" ? Capitals::Latin : Capitals::Ascii;
        return true;
    }

    bool Tables(const toml::table& root, StyleData& data)
    {
        const toml::table* tables = Section(root, "tables");
        std::set<std::string> known;
        for (const char* key : {"consonants", "clusters", "vowels", "female_endings", "male_endings", "neutral_endings"}) {
            known.insert(key);
            known.insert(std::string(key) + "_drawn");
        }
        return tables && Keys(*tables, "tables", known) && Table(*tables, "consonants", data.consonants, "tables") &&
               Table(*tables, "clusters", data.clusters, "tables") && Table(*tables, "vowels", data.vowels, "tables") &&
               Table(*tables, "female_endings", data.femaleEndings, "tables") &&
               Table(*tables, "male_endings", data.maleEndings, "tables") &&
               Table(*tables, "neutral_endings", data.neutralEndings, "tables");
    }

    bool Surname(const toml::table& root, StyleData& data)
    {
        const toml::table* surname = Section(root, "surname");
        auto& out = data.surname;
        bool heads = out.form == SurnameForm::HeadAndTail, female = out.closesAs == Female;
        bool ok = surname &&
                  Keys(*surname, "surname",
                       {"form", "positions", "closes_as", "heads", "heads_drawn", "tails", "tails_drawn"}) &&
                  Choice(*surname, "form", "stem+tail", "head+tail", heads, "surname") &&
                  Pair(*surname, "positions", out.minPositions, out.maxPositions, "surname") &&
                  Choice(*surname, "closes_as", "male", "female", female, "surname") &&
                  Table(*surname, "heads", out.heads, "surname") && Table(*surname, "tails", out.tails, "surname");
        out.form = heads ? SurnameForm::HeadAndTail : SurnameForm::StemAndTail;
        out.closesAs = female ? Female : Male;
        return ok;
    }

    // Optional: the hashes of names the style never gives, 16 hex digits each.
    bool Guard(const toml::table& root, StyleData& data)
    {
        if (root.get("guard") == nullptr)
            return true;
        const toml::table* guard = Section(root, "guard");
        std::vector<std::string> hashes;
        if (!guard || !Keys(*guard, "guard", {"names"}) || !Strings(*guard, "names", hashes, "guard"))
            return false;
        if (hashes.size() > static_cast<std::size_t>(MaxGuardedNames))
            return Fail(places.Of("guard.names", -1), "'guard.names' holds more than " +
                                                          std::to_string(MaxGuardedNames) + " names");
        data.guard.reserve(hashes.size());
        for (std::size_t k = 0; k < hashes.size(); ++k) {
            std::uint64_t hash = 0;
            if (!Hash(hashes[k], hash))
                return Fail(places.Of("guard.names", static_cast<int>(k)),
                            "'guard.names' entries are 16 hex digits, a name's hash");
            data.guard.push_back(hash);
        }
        return true;
    }

    // Format 2: [[contexts]] entries, each the groups it is drawn after and its tables.
    bool Contexts(const toml::table& root, StyleData& data)
    {
        const toml::node* node = root.get("contexts");
        if (node == nullptr)
            return true;
        if (!weighted)
            return Fail(PlaceOf(*node), "contexts need 'format = " + std::to_string(ContextStyleFormat) + "'");
        const toml::array* list = node->as_array();
        if (list == nullptr || !list->is_array_of_tables())
            return Fail(PlaceOf(*node), "'contexts' must be a list of tables ([[contexts]])");
        if (list->size() > static_cast<std::size_t>(MaxContexts))
            return Fail(PlaceOf(*node), "more than " + std::to_string(MaxContexts) + " contexts");
        for (std::size_t k = 0; k < list->size(); ++k) {
            const toml::table& table = *(*list)[k].as_table();
            const std::string name = "contexts[" + std::to_string(k) + "]";
            places.keys[name] = PlaceOf(table);
            StyleContext entry;
            // A table's "_drawn" count too: a style made as data may hold one, and its file
            // must read back.
            if (!Keys(table, name, {"after", "gender", "consonants", "clusters", "vowels", "female_endings",
                                    "male_endings", "neutral_endings", "consonants_drawn", "clusters_drawn",
                                    "vowels_drawn", "female_endings_drawn", "male_endings_drawn",
                                    "neutral_endings_drawn"}) ||
                !Strings(table, "after", entry.after, name) || !EntryGender(table, name, entry.gender) || !Table(table, "consonants", entry.consonants, name) ||
                !Table(table, "clusters", entry.clusters, name) || !Table(table, "vowels", entry.vowels, name) ||
                !Table(table, "female_endings", entry.femaleEndings, name) ||
                !Table(table, "male_endings", entry.maleEndings, name) ||
                !Table(table, "neutral_endings", entry.neutralEndings, name))
                return false;
            data.contexts.push_back(std::move(entry));
        }
        return true;
    }

    bool EntryGender(const toml::table& table, const std::string& name, int& gender)
    {
        std::string word;
        if (!Text(table, "gender", word, false, name))
            return false;
        if (table.get("gender") == nullptr)
            return true;
        const char* words[3] = {"male", "female", "neutral"};
        for (int g : {Male, Female, Neutral})
            if (word == words[g])
                gender = g;
        return gender >= 0 || Fail(PlaceOf(*table.get("gender")),
                                   "'" + name + ".gender' must be \"male\", \"female\" or \"neutral\"");
    }

    static bool Hash(const std::string& text, std::uint64_t& hash)
    {
        if (text.size() != 16)
            return false;
        for (char c : text) {
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0)
                return false;
            hash = hash << 4 | static_cast<std::uint64_t>(digit);
        }
        return true;
    }

    StyleError& error;
    toml::table empty;
    bool weighted = false;  // format 2: table entries may carry weights
};

// The fault CompileStyle found, at its place in the file.
void PlaceFault(const StyleFault& fault, const Places& places, StyleError& error)
{
    const Place place = places.Of(fault.key, fault.index);
    error.line = place.line;
    error.column = place.column;
    error.message = fault.key + (fault.index >= 0 ? "[" + std::to_string(fault.index) + "]" : "") + ": " + fault.message;
}

bool Load(const std::string& text, const std::string& source, StyleData& data, CompiledStyle& voice, StyleError& error)
{
    Reader reader(source, error);
    if (!reader.Read(text, data))
        return false;
    StyleFault fault;
    if (!CompileStyle(data, voice, fault)) {
        PlaceFault(fault, reader.places, error);
        return false;
    }
    return true;
}

// TOML's basic string, escaped.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// Format 2's entries: a run of one fragment as that fragment and its weight.
std::vector<std::string> WeightedItems(const std::vector<std::string>& fragments, bool quote = true)
{
    std::vector<std::string> items;
    for (std::size_t k = 0; k < fragments.size();) {
        std::size_t run = 1;
        while (k + run < fragments.size() && fragments[k + run] == fragments[k])
            ++run;
        const std::string item = quote ? Quoted(fragments[k]) : fragments[k];
        items.push_back(run == 1 ? item : "[" + item + ", " + std::to_string(run) + "]");
        k += run;
    }
    return items;
}

std::string ListOf(const std::vector<std::string>& items, const std::string& indent, bool quote = true)
{
    if (items.empty())
        return "[]";
    std::string text = "[";
    std::size_t lineWidth = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
        std::string item = (quote ? Quoted(items[k]) : items[k]) + (k + 1 < items.size() ? "," : "");
        if (items.size() > 12 && (k == 0 || lineWidth + item.size() > 76)) {
            text += "\n" + indent;
            lineWidth = indent.size();
        } else if (k > 0) {
            text += " ";
            ++lineWidth;
        }
        text += item;
        lineWidth += item.size();
    }
    return text + (items.size() > 12 ? "\n]" : "]");
}

std::string PairOf(int a, int b)
{
    return "[" + std::to_string(a) + ", " + std::to_string(b) + "]";
}

void WriteTable(std::string& out, const char* key, const FragmentTable& table, bool weighted)
{
    out += std::string(key) + " = " +
           (weighted ? ListOf(WeightedItems(table.fragments), "  ", false) : ListOf(table.fragments, "  ")) + "\n";
    if (table.drawn != static_cast<int>(table.fragments.size())) {
        const std::string drawn = std::to_string(table.drawn);
        out += std::string(key) + "_drawn = " + drawn + "  # only the first " + drawn + " are drawn\n";
    }
}

void WriteContexts(std::string& out, const std::vector<StyleContext>& contexts)
{
    if (contexts.empty())
        return;
    out += "\n# What is drawn right after the groups named (the last one last), in place of the\n"
           "# tables above; a kind an entry leaves out is drawn as after its last group alone. An\n"
           "# entry of one gender takes the place of the every-gender one for that gender's names.\n";
    for (const StyleContext& entry : contexts) {
        const char* genders[3] = {"male", "female", "neutral"};
        out += "[[contexts]]\nafter = " + ListOf(entry.after, "  ") + "\n";
        if (entry.gender >= 0)
            out += std::string("gender = \"") + genders[entry.gender] + "\"\n";
        const std::pair<const char*, const FragmentTable*> tables[] = {
            {"consonants", &entry.consonants},        {"clusters", &entry.clusters},
            {"vowels", &entry.vowels},                {"female_endings", &entry.femaleEndings},
            {"male_endings", &entry.maleEndings},     {"neutral_endings", &entry.neutralEndings}};
        for (const auto& table : tables)
            if (!table.second->fragments.empty())
                WriteTable(out, table.first, *table.second, true);
    }
}

// The guard, four hashes to a line, in the order given (a learned style's is sorted).
void WriteGuard(std::string& out, const std::vector<std::uint64_t>& guard)
{
    out += "\n[guard]\n";
    out += "# Names the style never gives: hashes of their small letters (64-bit FNV-1a), not the names.\n";
    out += "names = [";
    const char digits[] = "0123456789abcdef";
    for (std::size_t k = 0; k < guard.size(); ++k) {
        out += k % 4 == 0 ? "\n  \"" : " \"";
        for (int shift = 60; shift >= 0; shift -= 4)
            out += digits[guard[k] >> shift & 15];
        out += "\",";
    }
    out += "\n]\n";
}

const char* ClosingWord(Closing closing)
{
    return closing == Closing::Ending ? "\"ending\"" : "\"consonant\"";
}

}  // namespace

bool ReadStyle(const std::string& text, const std::string& source, StyleData& data, StyleError& error)
{
    CompiledStyle voice;
    return Load(text, source, data, voice, error);
}

bool Style::FromText(const std::string& text, const std::string& source, Style& style, StyleError& error)
{
    auto voice = std::make_shared<CompiledStyle>();
    StyleData data;
    if (!Load(text, source, data, *voice, error))
        return false;
    style = Style(voice);
    return true;
}

// Read with C's files (utf8_files.h), not a file stream, which would add libstdc++'s file
// streams to every static program that reads styles.
bool Style::FromFile(const std::string& path, Style& style, StyleError& error)
{
    error = StyleError();
    std::string text;
    switch (ReadWholeFile(path.c_str(), MaxStyleBytes, text)) {
    case ReadOutcome::Read:
        return FromText(text, path, style, error);
    case ReadOutcome::CannotOpen:
        error.message = "cannot open the file";
        break;
    case ReadOutcome::TooLong:
        error.message = "the file is too large: over the limit of " + std::to_string(MaxStyleBytes) + " bytes";
        break;
    case ReadOutcome::CannotRead:
        error.message = "cannot read the file";
        break;
    }
    error.source = path;
    return false;
}

std::string Style::ToText() const
{
    return WriteStyle(Data());
}

std::string WriteStyle(const StyleData& s)
{
    const bool weighted = s.format == ContextStyleFormat;
    std::string out =
        weighted ? "# A Norvathel name style. Fragments are drawn by position: the order and the weights\n"
                   "# ([\"l\", 31] stands for 31 entries of \"l\") are part of it. Editing anything makes a\n"
                   "# different style with different names.\n"
                 : "# A Norvathel name style. Fragments are drawn by position: order and repetition are\n"
                   "# the weights. Editing anything makes a different style with different names.\n";
    out += "format = " + std::to_string(s.format) + "\n";
    out += "name = " + Quoted(s.name) + "\n";
    out += "description = " + Quoted(s.description) + "\n\n";
    out += "[given]\n";
    out += "positions = " + PairOf(s.minPositions, s.maxPositions) + "  # fragment positions of a name, from..to\n";
    out += "male_opening = " + PairOf(s.maleOpening.in, s.maleOpening.of) +
           "  # [in, of]: chance a male name opens with a consonant ([0, 0]: no draw)\n";
    out += "female_opening = " + PairOf(s.femaleOpening.in, s.femaleOpening.of) + "\n";
    out += "consonant = " + PairOf(s.consonant.in, s.consonant.of) + "  # a consonant where a vowel could stand\n";
    out += "cluster = " + PairOf(s.cluster.in, s.cluster.of) + "  # a consonant fragment is a cluster\n";
    out += std::string("cluster_opening = ") + (s.clusterOpens ? "true" : "false") + "  # a cluster may open a name\n";
    out += "max_vowel_run = " + std::to_string(s.maxVowelRun) +
           "  # vowel fragments in a row before a consonant must follow\n";
    out += "ending_from = " + std::to_string(s.endingFrom) + "  # an ending may stand from positions - ending_from on\n";
    out += std::string("male_closing = ") + ClosingWord(s.maleClosing) + "\n";
    out += std::string("female_closing = ") + ClosingWord(s.femaleClosing) + "\n";
    const char* positionKeys[3] = {"male_positions", "female_positions", "neutral_positions"};
    for (int g : {Male, Female, Neutral}) {
        std::vector<std::string> counts;
        for (int p : s.genderPositions[g])
            counts.push_back(std::to_string(p));
        if (!counts.empty())
            out += std::string(positionKeys[g]) + " = " + ListOf(WeightedItems(counts, false), "  ", false) +
                   (g == Male ? "  # [positions, weight]: in place of positions\n" : "\n");
    }
    if (s.hasNeutral) {
        out += "neutral_opening = " + PairOf(s.neutralOpening.in, s.neutralOpening.of) +
               "  # names of no gender: how they open and close\n";
        out += std::string("neutral_closing = ") + ClosingWord(s.neutralClosing) + "\n";
    }
    out += "\n";
    out += "[letters]\n";
    out += "vowels = " + Quoted(s.vowelLetters) + "  # a prefix ending in one of these ends in a vowel\n";
    out += "no_opening = " + ListOf(s.noOpening, "  ") + "  # vowel fragments that never open a name\n";
    out += "repeatable = " + ListOf(s.repeatable, "  ") + "  # vowel fragments that may follow themselves\n";
    out += std::string("capitals = ") +
           (s.capitals == Capitals::Unicode ? "\"unicode\"" : s.capitals == Capitals::Latin ? "\"latin\"" : "\"ascii\"") + "\n\n";
    out += "[tables]\n";
    WriteTable(out, "consonants", s.consonants, weighted);
    WriteTable(out, "clusters", s.clusters, weighted);
    WriteTable(out, "vowels", s.vowels, weighted);
    WriteTable(out, "female_endings", s.femaleEndings, weighted);
    WriteTable(out, "male_endings", s.maleEndings, weighted);
    if (s.hasNeutral)
        WriteTable(out, "neutral_endings", s.neutralEndings, weighted);
    out += "\n[surname]\n";
    out += std::string("form = ") + (s.surname.form == SurnameForm::HeadAndTail ? "\"head+tail\"" : "\"stem+tail\"") +
           "\n";
    out += "positions = " + PairOf(s.surname.minPositions, s.surname.maxPositions) + "  # of the stem\n";
    out += std::string("closes_as = ") + (s.surname.closesAs == Female ? "\"female\"" : "\"male\"") + "\n";
    WriteTable(out, "heads", s.surname.heads, weighted);
    WriteTable(out, "tails", s.surname.tails, weighted);
    WriteContexts(out, s.contexts);
    if (!s.guard.empty())
        WriteGuard(out, s.guard);
    return out;
}

}  // namespace norvathel
