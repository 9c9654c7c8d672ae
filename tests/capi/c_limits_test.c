/* The C interface at its edges, compiled as C: buffers too small are refused and never cut,
 * stream prefixes are taken as the tool takes them, the styled check gives the stream's answer
 * with the tool's reason, and norvathel_stream_fill gives what norvathel_stream_next would. */
#include <norvathel/norvathel_c.h>

#include <stdio.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                   \
    do {                                                                   \
        if (!(condition)) {                                                \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                    \
        }                                                                  \
    } while (0)

/* A full-name stream with a buffer for a given name only: refused before a name is drawn, so
 * the next call with room gets the stream's first name whole. */
static void BuffersTooSmall(void)
{
    norvathel_stream* stream = NULL;
    norvathel_stream* twin = NULL;
    char small[NORVATHEL_NAME_SIZE];
    char whole[NORVATHEL_FULL_NAME_SIZE], expected[NORVATHEL_FULL_NAME_SIZE];
    int k;
    CHECK(norvathel_styled_stream_create(9, NULL, NORVATHEL_DRAWN, "", NULL, 1, &stream) == NORVATHEL_OK);
    CHECK(norvathel_styled_stream_create(9, NULL, NORVATHEL_DRAWN, "", NULL, 1, &twin) == NORVATHEL_OK);
    for (k = 0; k < 100; ++k) {
        CHECK(norvathel_stream_next(stream, small, sizeof small, NULL) == NORVATHEL_BAD_ARGUMENT);
        CHECK(norvathel_stream_next(stream, whole, sizeof whole - 1, NULL) == NORVATHEL_BAD_ARGUMENT);
        CHECK(norvathel_stream_next(stream, whole, sizeof whole, NULL) == NORVATHEL_OK);
        CHECK(norvathel_stream_next_full(twin, expected, sizeof expected, NULL, NULL) == NORVATHEL_OK);
        CHECK(strcmp(whole, expected) == 0 && strchr(whole, ' ') != NULL);
    }
    norvathel_stream_free(stream);
    norvathel_stream_free(twin);
}

/* 31 bytes is the most a prefix holds: a stream refuses more (its names would not begin with
 * the prefix given) and control bytes, and the check says why; a board cuts as the window
 * does. */
static void Prefixes(void)
{
    char longest[32], longer[100], reason[200];
    char name[NORVATHEL_NAME_SIZE];
    char board[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE];
    norvathel_stream* stream = NULL;
    norvathel_generator* generator = NULL;
    memset(longest, 'a', 31);
    longest[31] = '\0';
    memset(longer, 'a', 99);
    longer[99] = '\0';
    CHECK(norvathel_stream_create(1, NORVATHEL_FEMALE, longest, NULL, &stream) == NORVATHEL_OK);
    CHECK(norvathel_stream_next(stream, name, sizeof name, NULL) == NORVATHEL_OK);
    CHECK(strncmp(name + 1, longest + 1, 30) == 0 && name[0] == 'A');
    norvathel_stream_free(stream);
    stream = NULL;
    CHECK(norvathel_stream_create(1, NORVATHEL_FEMALE, longer, NULL, &stream) == NORVATHEL_BAD_ARGUMENT && !stream);
    CHECK(norvathel_styled_stream_create(1, NULL, NORVATHEL_MALE, "El\tia", NULL, 0, &stream) ==
              NORVATHEL_BAD_ARGUMENT && !stream);
    CHECK(norvathel_key_name(1, NORVATHEL_MALE, longer, NULL, name, sizeof name, NULL) == NORVATHEL_BAD_ARGUMENT);
    CHECK(norvathel_check_constraints(longer, NULL, reason, sizeof reason) == NORVATHEL_BAD_ARGUMENT);
    CHECK(strcmp(reason, "the prefix is 99 bytes long; a prefix holds at most 31") == 0);
    CHECK(norvathel_check_styled_constraints(NULL, NORVATHEL_DRAWN, "El\x1b[2J", NULL, reason, sizeof reason) ==
          NORVATHEL_BAD_ARGUMENT);
    CHECK(strcmp(reason, "the prefix \"El\\x1B[2J\" holds a control byte") == 0);
    CHECK(norvathel_check_constraints("El\x7f", NULL, NULL, 0) == NORVATHEL_BAD_ARGUMENT);
    CHECK(norvathel_generator_create(5, &generator) == NORVATHEL_OK);
    CHECK(norvathel_compose_board(generator, NORVATHEL_FEMALE, longer, board, NULL) == NORVATHEL_OK);
    CHECK(strlen(board[0]) >= 31 && strncmp(board[0] + 1, longer + 1, 30) == 0);
    CHECK(norvathel_compose_styled_board(generator, NULL, NORVATHEL_MALE, longer, board, NULL) == NORVATHEL_OK);
    norvathel_generator_free(generator);
}

/* For styles, genders, prefixes and constraints, the styled check answers what the styled
 * stream does, with a reason exactly when it refuses; a few reasons word for word. */
static void StyledReasons(void)
{
    static const char* const endings[] = {"", "a", "ia", "q", "n", "zz", "\xC3\xB8", "aaaaaaaaaaaaa"};
    static const char* const prefixes[] = {"", "Ka", "Th", "Zyx"};
    static const int lengths[][2] = {{0, 0}, {0, 2}, {0, 5}, {4, 6}, {12, 0}, {7, 7}, {40, 45}};
    static const norvathel_gender genders[] = {NORVATHEL_DRAWN, NORVATHEL_MALE, NORVATHEL_FEMALE};
    char reason[300];
    size_t index;
    unsigned e, p, l, g;
    for (index = 0; norvathel_builtin_style_name(index) != NULL; ++index) {
        norvathel_style* style = NULL;
        CHECK(norvathel_style_builtin(norvathel_builtin_style_name(index), &style) == NORVATHEL_OK);
        for (e = 0; e < sizeof endings / sizeof *endings; ++e)
            for (p = 0; p < sizeof prefixes / sizeof *prefixes; ++p)
                for (l = 0; l < sizeof lengths / sizeof *lengths; ++l)
                    for (g = 0; g < 3; ++g) {
                        norvathel_constraints only;
                        norvathel_stream* stream = NULL;
                        norvathel_result checked, made;
                        if ((e + p + l + g + index) % 6 != 0)
                            continue; /* a sixth of the combinations, each value in each place */
                        memset(&only, 0, sizeof only);
                        only.ends_with = endings[e];
                        only.min_length = lengths[l][0];
                        only.max_length = lengths[l][1];
                        checked = norvathel_check_styled_constraints(style, genders[g], prefixes[p], &only,
                                                                     reason, sizeof reason);
                        made = norvathel_styled_stream_create(3, style, genders[g], prefixes[p], &only, 0, &stream);
                        CHECK(checked == made);
                        CHECK((checked == NORVATHEL_OK) == (reason[0] == '\0'));
                        CHECK(strstr(reason, "--") == NULL);
                        norvathel_stream_free(stream);
                    }
        norvathel_style_free(style);
    }
    {
        norvathel_constraints only;
        memset(&only, 0, sizeof only);
        only.ends_with = "a";
        CHECK(norvathel_check_styled_constraints(NULL, NORVATHEL_MALE, "", &only, reason, sizeof reason) ==
              NORVATHEL_IMPOSSIBLE);
        CHECK(strcmp(reason, "ends_with \"a\": no male name ends in a vowel (male names end in a consonant)") == 0);
        CHECK(norvathel_check_styled_constraints(NULL, NORVATHEL_FEMALE, "", &only, reason, sizeof reason) ==
              NORVATHEL_OK && reason[0] == '\0');
        only.ends_with = "q";
        CHECK(norvathel_check_styled_constraints(NULL, NORVATHEL_FEMALE, "", &only, reason, sizeof reason) ==
              NORVATHEL_IMPOSSIBLE);
        CHECK(strcmp(reason, "ends_with \"q\": no name contains 'q' (names are made of the letters a to z, and "
                             "the prefix)") == 0);
        only.ends_with = NULL;
        only.max_length = 2;
        CHECK(norvathel_check_styled_constraints(NULL, NORVATHEL_FEMALE, "Ka", &only, reason, sizeof reason) ==
              NORVATHEL_IMPOSSIBLE);
        CHECK(strncmp(reason, "max_length 2 leaves no name: female names beginning with \"Ka\" are ", 66) == 0);
        CHECK(norvathel_check_styled_constraints(NULL, (norvathel_gender)5, "", NULL, reason, sizeof reason) ==
              NORVATHEL_BAD_ARGUMENT && reason[0] != '\0');
        CHECK(norvathel_check_styled_constraints(NULL, NORVATHEL_DRAWN, NULL, NULL, NULL, 0) == NORVATHEL_OK);
    }
}

/* One call, many names: the same names, genders and order as one call each, in both kinds of
 * stream; a buffer that holds fewer takes fewer, and the next call goes on from there. */
static void Fill(void)
{
    int full;
    for (full = 0; full <= 1; ++full) {
        const size_t room = full ? NORVATHEL_FULL_NAME_SIZE : NORVATHEL_NAME_SIZE;
        static char names[50 * NORVATHEL_FULL_NAME_SIZE];
        norvathel_gender genders[50];
        norvathel_stream* filled = NULL;
        norvathel_stream* single = NULL;
        norvathel_constraints only;
        size_t count = 99, total = 0, k;
        const char* at;
        memset(&only, 0, sizeof only);
        only.unique = 1;
        CHECK(norvathel_styled_stream_create(77, NULL, NORVATHEL_DRAWN, "Ka", &only, full, &filled) == NORVATHEL_OK);
        CHECK(norvathel_styled_stream_create(77, NULL, NORVATHEL_DRAWN, "Ka", &only, full, &single) == NORVATHEL_OK);
        CHECK(norvathel_stream_fill(filled, names, room - 1, 1, &count, NULL) == NORVATHEL_BAD_ARGUMENT && count == 0);
        CHECK(norvathel_stream_fill(filled, names, sizeof names, 5, NULL, NULL) == NORVATHEL_BAD_ARGUMENT);
        CHECK(norvathel_stream_fill(filled, NULL, 0, 0, &count, NULL) == NORVATHEL_OK && count == 0);
        /* 50 names asked with room for two of the largest: it stops where the next might not
         * fit, and the next call, behind them, goes on from there. */
        CHECK(norvathel_stream_fill(filled, names, 2 * room, 50, &count, genders) == NORVATHEL_OK);
        for (k = 0, at = names; k < count; ++k)
            at += strlen(at) + 1;
        CHECK(count >= 2 && count < 50 && (size_t)(at - names) + room > 2 * room);
        total = count;
        CHECK(norvathel_stream_fill(filled, names + (at - names), sizeof names - (size_t)(at - names), 50 - total,
                                    &count, genders + total) == NORVATHEL_OK && count == 50 - total);
        for (k = 0, at = names; k < 50; ++k) {
            char one[NORVATHEL_FULL_NAME_SIZE];
            norvathel_gender gender = NORVATHEL_DRAWN;
            CHECK(norvathel_stream_next(single, one, sizeof one, &gender) == NORVATHEL_OK);
            CHECK(strcmp(at, one) == 0 && genders[k] == gender);
            CHECK(strncmp(at, "Ka", 2) == 0 && (strchr(at, ' ') != NULL) == full);
            at += strlen(at) + 1;
        }
        norvathel_stream_free(filled);
        norvathel_stream_free(single);
    }
}

/* The one project seed whose SplitMix64 output is 0 leaves keys their bare seeds. */
static void TheProjectSeedOfZero(void)
{
    CHECK(norvathel_project_key_seed("npc-1", 5, 7046029254386353131ull) == norvathel_key_seed("npc-1", 5));
    CHECK(norvathel_project_key_seed("npc-1", 5, 7046029254386353130ull) != norvathel_key_seed("npc-1", 5));
    CHECK(strcmp(norvathel_style_name(NULL), "classic") == 0 && norvathel_style_description(NULL)[0] != '\0');
}

int main(void)
{
    BuffersTooSmall();
    Prefixes();
    StyledReasons();
    Fill();
    TheProjectSeedOfZero();
    if (failures)
        fprintf(stderr, "%d failures\n", failures);
    return failures ? 1 : 0;
}
