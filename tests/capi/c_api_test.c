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
    /* Lengths here are bytes, as always: the prefix "\xC3\x89l" is two letters but three bytes. */
    crossed.min_length = 0;
    crossed.max_length = 2;
    check(norvathel_check_constraints("\xC3\x89l", &crossed, problem, sizeof problem) == NORVATHEL_IMPOSSIBLE &&
              strstr(problem, "below the prefix's length 3") != NULL, "lengths count bytes");
    check(norvathel_stream_create(1, (norvathel_gender)7, "", NULL, &stream) == NORVATHEL_BAD_ARGUMENT,
          "unknown gender");
    check(norvathel_stream_create(1, NORVATHEL_MALE, "", NULL, &stream) == NORVATHEL_OK, "no constraints");
    check(norvathel_stream_next(stream, small, sizeof small, NULL) == NORVATHEL_BAD_ARGUMENT,
          "a buffer below NORVATHEL_NAME_SIZE");
    norvathel_stream_free(stream);
    check(norvathel_compose_board(NULL, NORVATHEL_MALE, "", NULL, NULL) == NORVATHEL_BAD_ARGUMENT,
          "null generator");
}

/* Any int may arrive where the header names an enum: refused, never taken for a value. */
static void integers_outside_the_enums(void)
{
    static const int strangers[] = {-1, 5, 7, 1 << 20, -2147483647 - 1};
    norvathel_generator* generator = NULL;
    norvathel_stream* stream = NULL;
    char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE];
    int all_refused = 1;
    size_t i;
    check(norvathel_generator_create(5, &generator) == NORVATHEL_OK, "generator");
    for (i = 0; i < sizeof strangers / sizeof strangers[0]; ++i) {
        all_refused = all_refused &&
                      norvathel_compose_board(generator, (norvathel_gender)strangers[i], NULL, names,
                                              NULL) == NORVATHEL_BAD_ARGUMENT &&
                      norvathel_stream_create(1, (norvathel_gender)strangers[i], "", NULL, &stream) ==
                          NORVATHEL_BAD_ARGUMENT &&
                      strcmp(norvathel_result_text((norvathel_result)strangers[i]), "unknown result") == 0;
    }
    check(all_refused, "genders and results outside their enums");
    norvathel_generator_free(generator);
}

/* No name is longer than 45 bytes, so neither can its ending be; the reason speaks of the C
 * structure's fields, not of any command line. */
static void endings_longer_than_a_name(void)
{
    static char ending[(1 << 20) + 1];
    norvathel_constraints only;
    char problem[200] = "";
    memset(&only, 0, sizeof only);
    only.ends_with = ending;
    memset(ending, 'a', 45);
    check(norvathel_check_constraints("", &only, problem, sizeof problem) == NORVATHEL_IMPOSSIBLE &&
              strstr(problem, "longer than any name") == NULL,
          "an ending of 45 bytes is not too long, only one no name has");
    memset(ending, 'a', 46);
    check(norvathel_check_constraints("", &only, problem, sizeof problem) == NORVATHEL_IMPOSSIBLE &&
              strstr(problem, "ends_with") != NULL && strstr(problem, "--") == NULL,
          "an ending of 46 bytes, with a reason in the C interface's words");
    memset(ending, 'a', sizeof ending - 1);
    check(norvathel_check_constraints("", &only, NULL, 0) == NORVATHEL_IMPOSSIBLE, "an ending of 1 MiB");
}

/* What the composer cannot make is refused for the stream's gender; either gender when checked
 * alone. */
static void endings_no_name_has(void)
{
    norvathel_constraints only;
    norvathel_stream* stream = NULL;
    char problem[200] = "";
    memset(&only, 0, sizeof only);
    only.ends_with = "ia";
    check(norvathel_check_constraints("", &only, problem, sizeof problem) == NORVATHEL_OK, "ia: female names");
    check(norvathel_stream_create(1, NORVATHEL_MALE, "", &only, &stream) == NORVATHEL_IMPOSSIBLE &&
              stream == NULL, "ia: no male name");
    only.ends_with = NULL;
    only.max_length = 2;
    check(norvathel_check_constraints("", &only, problem, sizeof problem) == NORVATHEL_IMPOSSIBLE &&
              strstr(problem, "3 to 16 bytes") != NULL, "lengths no name has, with the lengths names have");
}

/* A key's name: the first name of the stream its seed starts, whatever else is asked. */
static void names_for_keys(void)
{
    norvathel_stream* stream = NULL;
    norvathel_constraints unique;
    char by_key[NORVATHEL_NAME_SIZE], first[NORVATHEL_NAME_SIZE], other[NORVATHEL_NAME_SIZE];
    norvathel_gender gender = NORVATHEL_DRAWN, first_gender = NORVATHEL_MALE;
    const uint64_t seed = norvathel_key_seed("npc-1", 5);
    check(seed == norvathel_seed_from_word("npc-1"), "a key's seed is its word's");
    check(norvathel_project_key_seed("npc-1", 5, 7) != seed, "a project moves the key");
    check(norvathel_key_name(seed, NORVATHEL_DRAWN, NULL, NULL, by_key, sizeof by_key, &gender) == NORVATHEL_OK,
          "key name");
    check(norvathel_stream_create(seed, NORVATHEL_DRAWN, NULL, NULL, &stream) == NORVATHEL_OK &&
              norvathel_stream_next(stream, first, sizeof first, &first_gender) == NORVATHEL_OK &&
              strcmp(by_key, first) == 0 && gender == first_gender,
          "the key's name is its stream's first");
    norvathel_stream_free(stream);
    check(norvathel_key_name(norvathel_project_key_seed("npc-1", 5, 7), NORVATHEL_DRAWN, NULL, NULL, other,
                             sizeof other, NULL) == NORVATHEL_OK && strcmp(other, by_key) != 0,
          "another project, another name");
    memset(&unique, 0, sizeof unique);
    unique.unique = 1;
    check(norvathel_key_name(seed, NORVATHEL_FEMALE, NULL, &unique, other, sizeof other, NULL) ==
              NORVATHEL_BAD_ARGUMENT, "unique is refused for keys");
}

int main(void)
{
    endings_no_name_has();
    names_for_keys();
    first_board_of_a_known_second();
    stream_with_constraints();
    refusals();
    integers_outside_the_enums();
    endings_longer_than_a_name();
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
