/* The C interface, compiled as C: the program's first board for a known second, a stream with
 * constraints, and the refusals. Prints one line per failed check and ends with the summary. */
#include <norvathel/norvathel_c.h>

#include <stdio.h>
#include <string.h>

static int passed, failed;

static void check(int condition, const char* what)
{
    if (condition) {
        ++passed;
    } else {
        ++failed;
        printf("FAILED: %s\n", what);
    }
}

static void first_board_of_a_known_second(void)
{
    static const char* const expected[NORVATHEL_BOARD_NAMES] = {
        "Glicia", "Sojazheta", "Sheowandra", "Ryutaila", "Ihycenne",
        "Eoneah", "Sisa", "Idaketty", "Ciycrila", "Aporicia"};
    norvathel_generator* generator = NULL;
    char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE];
    norvathel_gender used = NORVATHEL_DRAWN;
    int same = 1;
    int i;
    check(norvathel_generator_create(1000000000u, &generator) == NORVATHEL_OK, "generator");
    check(norvathel_compose_board(generator, NORVATHEL_DRAWN, NULL, names, &used) == NORVATHEL_OK,
          "board composed");
    for (i = 0; i < NORVATHEL_BOARD_NAMES; ++i)
        same = same && strcmp(names[i], expected[i]) == 0;
    check(same && used == NORVATHEL_FEMALE, "the program's first board for second 10^9");
    norvathel_generator_free(generator);
}

static void stream_with_constraints(void)
{
    const char* pieces[] = {"th"};
    norvathel_constraints only;
    norvathel_stream* stream = NULL;
    char name[NORVATHEL_NAME_SIZE];
    char previous[100][NORVATHEL_NAME_SIZE];
    norvathel_gender gender;
    uint64_t composed = 0, kept = 0;
    int count = 0, ok = 1, i;
    memset(&only, 0, sizeof only);
    only.unique = 1;
    only.max_length = 7;
    only.ends_with = "IA";
    only.exclude = pieces;
    only.exclude_count = 1;
    check(norvathel_stream_create(norvathel_seed_from_word("dragonkeep"), NORVATHEL_FEMALE, "El",
                                  &only, &stream) == NORVATHEL_OK, "stream created");
    for (count = 0; count < 100 && norvathel_stream_next(stream, name, sizeof name, &gender) ==
                                       NORVATHEL_OK; ++count) {
        size_t length = strlen(name);
        ok = ok && length <= 7 && strncmp(name, "El", 2) == 0 && strcmp(name + length - 2, "ia") == 0 &&
             strstr(name, "th") == NULL && gender == NORVATHEL_FEMALE;
        for (i = 0; i < count; ++i)
            ok = ok && strcmp(previous[i], name) != 0;
        strcpy(previous[count], name);
    }
    norvathel_stream_counts(stream, &composed, &kept);
    check(ok && count > 0, "every name meets the constraints, none twice");
    check(kept == (uint64_t)count && composed > kept, "counts");
    norvathel_stream_free(stream);
}

static void refusals(void)
{
    norvathel_constraints crossed;
    norvathel_stream* stream = (norvathel_stream*)&crossed;
    char problem[100] = "";
    char small[10];
    memset(&crossed, 0, sizeof crossed);
    crossed.min_length = 9;
    crossed.max_length = 8;
    check(norvathel_check_constraints("", &crossed, problem, sizeof problem) == NORVATHEL_IMPOSSIBLE &&
              problem[0] != '\0', "crossed lengths are impossible, with a reason");
    check(norvathel_stream_create(1, NORVATHEL_MALE, "", &crossed, &stream) == NORVATHEL_IMPOSSIBLE &&
              stream == NULL, "no stream for impossible constraints");
    check(norvathel_stream_create(1, (norvathel_gender)7, "", NULL, &stream) == NORVATHEL_BAD_ARGUMENT,
          "unknown gender");
    check(norvathel_stream_create(1, NORVATHEL_MALE, "", NULL, &stream) == NORVATHEL_OK, "no constraints");
    check(norvathel_stream_next(stream, small, sizeof small, NULL) == NORVATHEL_BAD_ARGUMENT,
          "a buffer below NORVATHEL_NAME_SIZE");
    norvathel_stream_free(stream);
    check(norvathel_compose_board(NULL, NORVATHEL_MALE, "", NULL, NULL) == NORVATHEL_BAD_ARGUMENT,
          "null generator");
}

int main(void)
{
    first_board_of_a_known_second();
    stream_with_constraints();
    refusals();
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
