#include "web_exports.h"

#include <cstdlib>
#include <cstring>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>

#include "norvathel_handles.h"

void* norvathel_web_alloc(size_t size)
{
    return std::malloc(size ? size : 1);
}

void norvathel_web_free(void* block)
{
    std::free(block);
}

norvathel_result norvathel_web_stream_fill(norvathel_stream* stream, char* text, char* genders,
                                           uint32_t count, uint32_t filled[2])
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
        norvathel::StreamName next;
        for (; index < count; ++index) {
            if (!stream->names.Next(next)) {
                result = NORVATHEL_DRY;
                break;
            }
            std::memcpy(place, next.text, norvathel::NameSlotSize);
            place += next.length;
            *place++ = '\n';
            genders[index] = next.gender == norvathel::Male ? 'm' : 'f';
        }
    } catch (...) {
        result = NORVATHEL_NO_MEMORY;
    }
    filled[0] = index;
    filled[1] = static_cast<uint32_t>(place - text);
    return result;
}

norvathel_result norvathel_web_constraint_fault(const char* prefix, norvathel_gender gender,
                                                const norvathel_constraints* given,
                                                const char* styleName, const char* styleText,
                                                size_t styleLength, int64_t out[4])
{
    norvathel::NameConstraints constraints;
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
    const norvathel::GenderChoice choice = gender == NORVATHEL_MALE     ? norvathel::GenderChoice::Male
                                           : gender == NORVATHEL_FEMALE ? norvathel::GenderChoice::Female
                                                                        : norvathel::GenderChoice::Drawn;
    const norvathel::ConstraintProblem problem =
        norvathel::ImpossibleConstraints(constraints, prefix, choice, style);
    out[0] = static_cast<int64_t>(problem.fault);
    out[1] = problem.length;
    out[2] = problem.limit;
    out[3] = static_cast<int64_t>(problem.piece);
    return NORVATHEL_OK;
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
            genders[index] = next.gender == norvathel::Male ? 'm' : 'f';
            given_lengths[index] = static_cast<uint8_t>(next.length);
        }
    } catch (...) {
        result = NORVATHEL_NO_MEMORY;
    }
    filled[0] = index;
    filled[1] = static_cast<uint32_t>(place - text);
    return result;
}
