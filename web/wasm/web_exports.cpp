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
                                           uint32_t count, uint32_t filled[2])
{
    char* place = text;
    norvathel_result result = NORVATHEL_OK;
    uint32_t index = 0;
    for (; index < count; ++index) {
        norvathel_gender gender;
        result = norvathel_stream_next(stream, place, NORVATHEL_NAME_SIZE, &gender);
        if (result != NORVATHEL_OK)
            break;
        place += std::strlen(place);
        *place++ = '\n';
        genders[index] = gender == NORVATHEL_MALE ? 'm' : 'f';
    }
    filled[0] = index;
    filled[1] = static_cast<uint32_t>(place - text);
    return result;
}
