// What the C interface's stream handle holds, for code built beside the library that fills
// many names in one call (web/wasm): not part of the installed C header.
#pragma once
#include <norvathel/name_stream.h>
#include <norvathel/norvathel_c.h>
#include <norvathel/style.h>

struct norvathel_stream {
    norvathel::NameStream names;
    bool full;  // names come with surnames: NORVATHEL_FULL_NAME_SIZE bytes each

    norvathel_stream(const norvathel::Style& style, std::uint64_t seed, norvathel::GenderChoice gender,
                     const char* prefix, const norvathel::NameConstraints& constraints, bool fullNames)
        : names(style, seed, gender, prefix, constraints, fullNames), full(fullNames)
    {
    }
};

namespace norvathel {

// norvathel_styled_stream_create and norvathel_styled_key_name with the lengths counted in
// unit: the C interface counts bytes, the npm package letters.
norvathel_result CreateStyledStream(uint64_t seed, const norvathel_style* style, norvathel_gender gender,
                                    const char* prefix, const norvathel_constraints* constraints, int full_names,
                                    norvathel_stream** stream, LengthUnit unit);
norvathel_result StyledKeyName(uint64_t key_seed, const norvathel_style* style, norvathel_gender gender,
                               const char* prefix, const norvathel_constraints* constraints, int full_names,
                               char* name, size_t capacity, size_t* given_length, norvathel_gender* used,
                               LengthUnit unit);

}  // namespace norvathel
