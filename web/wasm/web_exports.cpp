#include "web_exports.h"

#include <cstdlib>
#include <cstring>

void* norvathel_web_alloc(size_t size)
{
    return std::malloc(size ? size : 1);
}

void norvathel_web_free(void* block)
{
    std::free(block);
}

norvathel_result norvathel_web_stream_fill(norvathel_stream* stream, char* text, char* genders,
                                           uint32_t count, uint32_t* filled)
{
    *filled = 0;
    char* place = text;
    for (uint32_t index = 0; index < count; ++index) {
        norvathel_gender gender;
        const norvathel_result result =
            norvathel_stream_next(stream, place, NORVATHEL_NAME_SIZE, &gender);
        if (result != NORVATHEL_OK)
            return result;
        place += std::strlen(place);
        *place++ = '\n';
        genders[index] = gender == NORVATHEL_MALE ? 'm' : 'f';
        ++*filled;
    }
    return NORVATHEL_OK;
}
