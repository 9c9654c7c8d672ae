#include "web_exports.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include "argument_texts.h"
#include "fault_words.h"
#include "norvathel_handles.h"

void* norvathel_web_alloc(size_t size)
{
    return std::malloc(size ? size : 1);
}

void norvathel_web_free(void* block)
{
    std::free(block);
}

namespace {

char GenderLetter(norvathel::Gender gender)
{
    return gender == norvathel::Male ? 'm' : gender == norvathel::Female ? 'f' : 'n';
}

// A name onto a batch at place: a fixed-size copy of its slot, then its newline; its gender's
// letter and its length beside it. Returns where the next goes.
char* PutName(char* place, const char* name, int length, norvathel::Gender gender, char* genderAt, uint8_t* lengthAt)
{
    std::memcpy(place, name, norvathel::NameSlotSize);
    place += length;
    *place++ = '\n';
    *genderAt = GenderLetter(gender);
    *lengthAt = static_cast<uint8_t>(length);
    return place;
}

}  // namespace

norvathel_result norvathel_web_stream_fill(norvathel_stream* stream, char* text, char* genders,
                                           uint8_t* lengths, uint32_t count, uint32_t filled[2])
{
    // Straight from the stream's board: the length is known, and a whole slot is one
    // fixed-size copy (no call, no strlen). The slot may reach past the name into room the
    // next names overwrite: each takes at most MaxNameLength + 1 of its NameSlotSize bytes.
    static_assert(NORVATHEL_NAME_SIZE == norvathel::NameSlotSize, "text holds a slot per name");
    static_assert(norvathel::MaxNameLength + 1 <= norvathel::NameSlotSize, "a name and its newline fit a slot");
    char* place = text;
    norvathel_result result = NORVATHEL_OK;
    uint32_t index = 0;
    try {
        norvathel::NameStream& names = stream->names;
        if (!names.Constrained()) {
            // A board's names at a time: nothing to judge, so nothing to ask name by name.
            while (index < count) {
                const int most = count - index < norvathel::NamesPerBoard ? static_cast<int>(count - index)
                                                                          : norvathel::NamesPerBoard;
                const norvathel::Board* board;
                int first;
                const int taken = names.NextOfBoard(most, board, first);
                for (int k = first; k < first + taken; ++k, ++index)
                    place = PutName(place, board->names[k], board->lengths[k], names.BoardGenderNow(),
                                    &genders[index], &lengths[index]);
            }
        }
        norvathel::StreamName next;
        for (; index < count; ++index) {
            if (!names.Next(next)) {
                result = NORVATHEL_DRY;
                break;
            }
            place = PutName(place, next.text, next.length, next.gender, &genders[index], &lengths[index]);
        }
    } catch (...) {
        result = NORVATHEL_NO_MEMORY;
    }
    filled[0] = index;
    filled[1] = static_cast<uint32_t>(place - text);
    return result;
}

namespace {

void WriteText(const std::string& text, char* out, size_t size)
{
    const size_t length = text.size() < size ? text.size() : size - 1;
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

}  // namespace

norvathel_result norvathel_web_constraint_message(const char* prefix, norvathel_gender gender,
                                                  const norvathel_constraints* given,
                                                  const char* styleName, const char* styleText,
                                                  size_t styleLength, int surface, char* message,
                                                  size_t size)
{
    if (size == 0 || surface < 0 || surface > 2)
        return NORVATHEL_BAD_ARGUMENT;
    norvathel::NameConstraints constraints;
    constraints.lengthUnit = norvathel::LengthUnit::CodePoints;
    constraints.unique = given->unique != 0;
    constraints.minLength = given->min_length;
    constraints.maxLength = given->max_length;
    constraints.endsWith = given->ends_with ? given->ends_with : "";
    for (std::size_t index = 0; index < given->exclude_count; ++index)
        constraints.exclude.push_back(given->exclude[index]);
    norvathel::Style style;
    norvathel::StyleError error;
    if (styleName ? !norvathel::Style::BuiltIn(styleName, style)
                  : styleText && !norvathel::Style::FromText(std::string(styleText, styleLength), "text", style, error))
        return NORVATHEL_BAD_ARGUMENT;
    const norvathel::GenderChoice choice = gender == NORVATHEL_MALE      ? norvathel::GenderChoice::Male
                                           : gender == NORVATHEL_FEMALE  ? norvathel::GenderChoice::Female
                                           : gender == NORVATHEL_NEUTRAL ? norvathel::GenderChoice::Neutral
                                                                         : norvathel::GenderChoice::Drawn;
    const char* start = prefix ? prefix : "";
    WriteText(ConstraintMessage(norvathel::ImpossibleConstraints(constraints, start, choice, style), constraints,
                                choice, start, style, static_cast<MessageSurface>(surface)),
              message, size);
    return NORVATHEL_OK;
}

norvathel_result norvathel_web_stream_create(uint64_t seed, const norvathel_style* style, norvathel_gender gender,
                                             const char* prefix, const norvathel_constraints* constraints,
                                             int full_names, norvathel_stream** stream)
{
    return norvathel::CreateStyledStream(seed, style, gender, prefix, constraints, full_names, stream,
                                         norvathel::LengthUnit::CodePoints);
}

norvathel_result norvathel_web_key_name(uint64_t key_seed, const norvathel_style* style, norvathel_gender gender,
                                        const char* prefix, const norvathel_constraints* constraints, int full_names,
                                        char* name, size_t capacity, size_t* given_length, norvathel_gender* used)
{
    return norvathel::StyledKeyName(key_seed, style, gender, prefix, constraints, full_names, name, capacity,
                                    given_length, used, norvathel::LengthUnit::CodePoints);
}

int32_t norvathel_web_parse_boards(const char* list, char* out, size_t size)
{
    std::vector<BoardRequest> boards;
    std::string problem;
    if (size == 0)
        return -1;
    if (!ParseBoardList(list, boards, problem)) {
        WriteText(problem, out, size);
        return -1;
    }
    std::string items;
    for (const BoardRequest& board : boards) {
        items += board.gender == norvathel::GenderChoice::Male      ? 'm'
                 : board.gender == norvathel::GenderChoice::Female  ? 'f'
                 : board.gender == norvathel::GenderChoice::Neutral ? 'n'
                                                                    : 's';
        items.append(board.prefix);
        items += '\0';
    }
    if (items.size() > size)
        return -1;
    std::memcpy(out, items.data(), items.size());
    return static_cast<int32_t>(boards.size());
}

norvathel_result norvathel_web_stream_fill_full(norvathel_stream* stream, char* text, char* genders,
                                                uint8_t* given_lengths, uint32_t count,
                                                uint32_t filled[2])
{
    // "Given Surname" as the C interface writes it, from the two parts' known lengths.
    static_assert(NORVATHEL_FULL_NAME_SIZE >= 2 * norvathel::MaxNameLength + 2, "a full name and its newline fit");
    char* place = text;
    norvathel_result result = NORVATHEL_OK;
    uint32_t index = 0;
    try {
        norvathel::StreamName next;
        for (; index < count; ++index) {
            if (!stream->names.Next(next)) {
                result = NORVATHEL_DRY;
                break;
            }
            std::memcpy(place, next.text, static_cast<size_t>(next.length));
            place += next.length;
            if (next.surname) {
                *place++ = ' ';
                std::memcpy(place, next.surname, static_cast<size_t>(next.surnameLength));
                place += next.surnameLength;
            }
            *place++ = '\n';
            genders[index] = GenderLetter(next.gender);
            given_lengths[index] = static_cast<uint8_t>(next.length);
        }
    } catch (...) {
        result = NORVATHEL_NO_MEMORY;
    }
    filled[0] = index;
    filled[1] = static_cast<uint32_t>(place - text);
    return result;
}

void norvathel_web_dry_message(const norvathel_stream* stream, uint64_t written, uint64_t count,
                               char* message, size_t size)
{
    if (size != 0)
        WriteText(DryMessage(written, count, stream->names.ComposedSinceKept()), message, size);
}

namespace {

int Refused(const std::string& problem, char* message, size_t size)
{
    if (size != 0)
        WriteText(problem, message, size);
    return 0;
}

}  // namespace

int norvathel_web_read_seed(const char* option, const char* text, uint64_t* seed, char* message, size_t size)
{
    std::string problem;
    std::uint64_t value = 0;
    if (!ParseSeed(option, text, value, problem))
        return Refused(problem, message, size);
    *seed = value;
    return 1;
}

int norvathel_web_read_length(const char* option, const char* text, int32_t* length, char* message, size_t size)
{
    std::string problem;
    int value = 0;
    if (!ParseLength(option, text, value, problem))
        return Refused(problem, message, size);
    *length = value;
    return 1;
}

int norvathel_web_check_prefix(const char* option, const char* text, char* message, size_t size)
{
    std::string problem;
    return CheckPrefix(option, text, problem) ? 1 : Refused(problem, message, size);
}

int norvathel_web_check_text(const char* option, const char* text, size_t length, char* message, size_t size)
{
    std::string problem;
    return RefuseControlBytes(option, std::string(text, length), problem) ? 1 : Refused(problem, message, size);
}

norvathel_result norvathel_web_learn(const char* text, size_t length, const char* source, const char* name,
                                     const char* description, int allow_copies, char** style_text,
                                     size_t* style_length, char* message, size_t size)
{
    if (size == 0 || !style_text || !style_length || (!text && length > 0))
        return NORVATHEL_BAD_ARGUMENT;
    *style_text = nullptr;
    *style_length = 0;
    norvathel::LearnRequest request;
    request.name = name ? name : "";
    request.description = description ? description : "";
    request.allowCopies = allow_copies != 0;
    norvathel::LearnOutcome outcome;
    const bool learned =
        norvathel::LearnFromList(std::string(text ? text : "", length), source ? source : "text", request, outcome);
    std::string said;
    if (!learned) {
        for (const std::string& line : norvathel::ListLines(outcome.list, false))
            said += line + "\n";
        if (outcome.list.faults.empty())
            said += outcome.fault.Text() + "\n";
        WriteText(said, message, size);
        return NORVATHEL_BAD_ARGUMENT;
    }
    char* block = static_cast<char*>(std::malloc(outcome.styleText.size() + 1));
    if (!block)
        return NORVATHEL_NO_MEMORY;
    std::memcpy(block, outcome.styleText.c_str(), outcome.styleText.size() + 1);
    *style_text = block;
    *style_length = outcome.styleText.size();
    for (const std::string& line : norvathel::ListLines(outcome.list, true))
        said += line + "\n";
    WriteText(said + LearningReport(outcome.summary, outcome.quality), message, size);
    return NORVATHEL_OK;
}
