/* The style functions of the C interface, called from C: built-in styles by name, a style from
 * text and a bad one with its place, styled boards, and full names whose given names are those
 * of the same stream without surnames. */
#include <norvathel/norvathel_c.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                   \
    do {                                                                   \
        if (!(condition)) {                                                \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                    \
        }                                                                  \
    } while (0)

static void BuiltInStyles(void)
{
    size_t count = 0;
    norvathel_style* style = NULL;
    while (norvathel_builtin_style_name(count))
        ++count;
    CHECK(count >= 6);
    CHECK(strcmp(norvathel_builtin_style_name(0), "classic") == 0);
    CHECK(norvathel_style_builtin("no-such-style", &style) == NORVATHEL_BAD_ARGUMENT && style == NULL);
    CHECK(norvathel_style_builtin(norvathel_builtin_style_name(1), &style) == NORVATHEL_OK);
    CHECK(strcmp(norvathel_style_name(style), norvathel_builtin_style_name(1)) == 0);
    CHECK(strlen(norvathel_style_description(style)) > 0);
    norvathel_style_free(style);
}

/* Classic by handle, and no handle at all, compose the window's first board. */
static void ClassicBoards(void)
{
    norvathel_style* classic = NULL;
    norvathel_generator* generator = NULL;
    char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE];
    norvathel_gender used;
    CHECK(norvathel_style_builtin("classic", &classic) == NORVATHEL_OK);
    CHECK(norvathel_generator_create(1000000000u, &generator) == NORVATHEL_OK);
    CHECK(norvathel_compose_styled_board(generator, classic, NORVATHEL_DRAWN, "", names, &used) == NORVATHEL_OK);
    CHECK(used == NORVATHEL_FEMALE && strcmp(names[0], "Glicia") == 0 && strcmp(names[9], "Aporicia") == 0);
    CHECK(norvathel_compose_styled_board(generator, NULL, NORVATHEL_FEMALE, NULL, names, NULL) == NORVATHEL_OK);
    CHECK(strcmp(names[0], "Chigail") == 0);
    CHECK(norvathel_compose_styled_board(generator, classic, (norvathel_gender)7, NULL, names, NULL) ==
          NORVATHEL_BAD_ARGUMENT);
    norvathel_generator_free(generator);
    norvathel_style_free(classic);
}

static void StylesFromText(void)
{
    static const char good[] =
        "format = 1\nname = \"tiny\"\n[given]\ncluster = [0, 0]\n[tables]\nconsonants = [\"t\", \"k\"]\nvowels = [\"a\", \"i\"]\n"
        "female_endings = [\"a\"]\n[surname]\ntails = [\"son\"]\n";
    static const char bad[] = "format = 1\nname = \"tiny\"\n[tables]\nconsonants = [\"t\", \"k9\"]\n";
    norvathel_style* style = NULL;
    char problem[200];
    CHECK(norvathel_style_from_text(good, sizeof good - 1, &style, problem, sizeof problem) == NORVATHEL_OK);
    CHECK(style != NULL && strcmp(norvathel_style_name(style), "tiny") == 0 && problem[0] == '\0');
    norvathel_style_free(style);
    style = NULL;
    CHECK(norvathel_style_from_text(bad, sizeof bad - 1, &style, problem, sizeof problem) == NORVATHEL_BAD_ARGUMENT);
    CHECK(style == NULL);
    CHECK(strncmp(problem, "text:4:20: ", 11) == 0 && strstr(problem, "not letters") != NULL);
    if (failures)
        fprintf(stderr, "problem: %s\n", problem);
    CHECK(norvathel_style_from_file("/no/such/style.toml", &style, NULL, 0) == NORVATHEL_BAD_ARGUMENT);
}

/* Learning from a list as the tool learns: the faults of a bad list, every one with its place;
 * a good list's style gives no example and reads back from its own text. */
static void StylesLearned(void)
{
    static const char bad[] = "Kalina\tf\nTor9van\nMes\x01kel\n";
    static const char good[] = "Kalina\tf\nTorvan\tm\nMeskel\nAdrana\tf\nBorel\tm\n";
    norvathel_style* style = NULL;
    norvathel_style* again = NULL;
    norvathel_stream* stream = NULL;
    char problem[300];
    char name[NORVATHEL_NAME_SIZE];
    char* text;
    size_t needed = 0;
    int k;
    CHECK(norvathel_style_learn(bad, sizeof bad - 1, "list.txt", &style, problem, sizeof problem) ==
          NORVATHEL_BAD_ARGUMENT);
    CHECK(style == NULL);
    CHECK(strcmp(problem, "list.txt:2:4: '9' is not a letter (a name is letters of any script, each with its "
                          "marks)\nlist.txt:3:4: a control character (0x01)") == 0);
    if (failures)
        fprintf(stderr, "problem: %s\n", problem);
    CHECK(norvathel_style_learn(good, sizeof good - 1, NULL, &style, problem, sizeof problem) == NORVATHEL_OK);
    CHECK(style != NULL && strcmp(norvathel_style_name(style), "learned") == 0);
    CHECK(norvathel_style_text(style, NULL, 0, &needed) == NORVATHEL_BAD_ARGUMENT && needed > 100);
    text = (char*)malloc(needed);
    CHECK(text != NULL && norvathel_style_text(style, text, needed, NULL) == NORVATHEL_OK);
    CHECK(text != NULL && strstr(text, "[guard]") != NULL);
    CHECK(text != NULL && norvathel_style_from_text(text, strlen(text), &again, problem, sizeof problem) == NORVATHEL_OK);
    free(text);
    CHECK(norvathel_styled_stream_create(3, again, NORVATHEL_DRAWN, "", NULL, 0, &stream) == NORVATHEL_OK);
    for (k = 0; stream != NULL && k < 2000; ++k) {
        CHECK(norvathel_stream_next(stream, name, sizeof name, NULL) == NORVATHEL_OK);
        CHECK(strcmp(name, "Kalina") != 0 && strcmp(name, "Torvan") != 0 && strcmp(name, "Meskel") != 0 &&
              strcmp(name, "Adrana") != 0 && strcmp(name, "Borel") != 0);
    }
    norvathel_stream_free(stream);
    norvathel_style_free(again);
    norvathel_style_free(style);
}

/* Neutral names: a stream and a board of them in a style that has them; a style without them
 * refuses both. */
static void NeutralNames(void)
{
    static const char plain[] =
        "format = 1\nname = \"tiny\"\n[given]\ncluster = [0, 0]\n[tables]\nconsonants = [\"t\", \"k\"]\nvowels = [\"a\", \"i\"]\n"
        "female_endings = [\"a\"]\n[surname]\ntails = [\"son\"]\n";
    norvathel_style* none = NULL;
    norvathel_stream* stream = NULL;
    norvathel_generator* generator = NULL;
    char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE];
    char name[NORVATHEL_NAME_SIZE];
    norvathel_gender gender = NORVATHEL_DRAWN;
    CHECK(norvathel_styled_stream_create(9, NULL, NORVATHEL_NEUTRAL, "Ka", NULL, 0, &stream) == NORVATHEL_OK);
    CHECK(stream != NULL && norvathel_stream_next(stream, name, sizeof name, &gender) == NORVATHEL_OK);
    CHECK(gender == NORVATHEL_NEUTRAL && strncmp(name, "Ka", 2) == 0);
    norvathel_stream_free(stream);
    CHECK(norvathel_generator_create(1u, &generator) == NORVATHEL_OK);
    CHECK(norvathel_compose_styled_board(generator, NULL, NORVATHEL_NEUTRAL, "", names, &gender) == NORVATHEL_OK);
    CHECK(gender == NORVATHEL_NEUTRAL && names[9][0] != '\0');
    CHECK(norvathel_style_from_text(plain, sizeof plain - 1, &none, NULL, 0) == NORVATHEL_OK);
    CHECK(norvathel_compose_styled_board(generator, none, NORVATHEL_NEUTRAL, "", names, NULL) == NORVATHEL_BAD_ARGUMENT);
    stream = NULL;
    CHECK(norvathel_styled_stream_create(9, none, NORVATHEL_NEUTRAL, NULL, NULL, 0, &stream) == NORVATHEL_IMPOSSIBLE);
    CHECK(stream == NULL);
    norvathel_style_free(none);
    norvathel_generator_free(generator);
}

static void FullNames(void)
{
    norvathel_style* style = NULL;
    norvathel_stream* bare = NULL;
    norvathel_stream* full = NULL;
    norvathel_constraints only;
    char given[NORVATHEL_NAME_SIZE];
    char whole[NORVATHEL_FULL_NAME_SIZE];
    size_t length = 0;
    int k;
    memset(&only, 0, sizeof only);
    only.ends_with = "a";
    CHECK(norvathel_style_builtin(norvathel_builtin_style_name(2), &style) == NORVATHEL_OK);
    CHECK(norvathel_styled_stream_create(42, style, NORVATHEL_DRAWN, "", &only, 0, &bare) == NORVATHEL_OK);
    CHECK(norvathel_styled_stream_create(42, style, NORVATHEL_DRAWN, "", &only, 1, &full) == NORVATHEL_OK);
    norvathel_style_free(style); /* the streams keep what they need */
    CHECK(norvathel_stream_next_full(full, whole, sizeof whole - 1, NULL, NULL) == NORVATHEL_BAD_ARGUMENT);
    for (k = 0; k < 200; ++k) {
        CHECK(norvathel_stream_next(bare, given, sizeof given, NULL) == NORVATHEL_OK);
        CHECK(norvathel_stream_next_full(full, whole, sizeof whole, &length, NULL) == NORVATHEL_OK);
        CHECK(length == strlen(given) && strncmp(whole, given, length) == 0 && whole[length] == ' ');
        CHECK(strlen(whole) > length + 1 && given[length - 1] == 'a');
    }
    norvathel_stream_free(bare);
    norvathel_stream_free(full);
}

/* A key's name in a style: the same with and without a style handle for classic, the given
 * part of the full name that of the key's name alone. */
static void KeyNames(void)
{
    norvathel_style* style = NULL;
    char classic[NORVATHEL_NAME_SIZE];
    char given[NORVATHEL_NAME_SIZE];
    char whole[NORVATHEL_FULL_NAME_SIZE];
    size_t length = 0;
    const uint64_t seed = norvathel_key_seed("npc-1", 5);
    CHECK(norvathel_key_name(seed, NORVATHEL_FEMALE, NULL, NULL, classic, sizeof classic, NULL) == NORVATHEL_OK);
    CHECK(norvathel_styled_key_name(seed, NULL, NORVATHEL_FEMALE, NULL, NULL, 0, given, sizeof given, NULL, NULL) ==
          NORVATHEL_OK);
    CHECK(strcmp(classic, given) == 0);
    CHECK(norvathel_style_builtin("sibilant", &style) == NORVATHEL_OK);
    CHECK(norvathel_styled_key_name(seed, style, NORVATHEL_FEMALE, NULL, NULL, 0, given, sizeof given, NULL, NULL) ==
          NORVATHEL_OK);
    CHECK(norvathel_styled_key_name(seed, style, NORVATHEL_FEMALE, NULL, NULL, 1, whole, sizeof given, NULL, NULL) ==
          NORVATHEL_BAD_ARGUMENT);
    CHECK(norvathel_styled_key_name(seed, style, NORVATHEL_FEMALE, NULL, NULL, 1, whole, sizeof whole, &length,
                                    NULL) == NORVATHEL_OK);
    CHECK(length == strlen(given) && strncmp(whole, given, length) == 0 && whole[length] == ' ');
    norvathel_style_free(style);
}

int main(void)
{
    KeyNames();
    BuiltInStyles();
    ClassicBoards();
    StylesFromText();
    StylesLearned();
    NeutralNames();
    FullNames();
    if (failures)
        fprintf(stderr, "%d failures\n", failures);
    return failures ? 1 : 0;
}
