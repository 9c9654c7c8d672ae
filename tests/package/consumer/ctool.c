/* The installed C interface: one female name beginning "El" and ending "ia". */
#include <norvathel/norvathel_c.h>

#include <stdio.h>
#include <string.h>

int main(void)
{
    norvathel_constraints only;
    norvathel_stream* stream;
    char name[NORVATHEL_NAME_SIZE];
    memset(&only, 0, sizeof only);
    only.ends_with = "ia";
    if (norvathel_stream_create(norvathel_seed_from_word("dragonkeep"), NORVATHEL_FEMALE, "El",
                                &only, &stream) != NORVATHEL_OK)
        return 1;
    if (norvathel_stream_next(stream, name, sizeof name, NULL) != NORVATHEL_OK)
        return 1;
    puts(name);
    norvathel_stream_free(stream);
    return 0;
}
