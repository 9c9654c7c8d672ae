/* Norvathel's name composer for C and for any language with a C foreign-function interface.
 *
 *   norvathel_stream* stream;
 *   norvathel_constraints only = {0};
 *   only.unique = 1;
 *   if (norvathel_stream_create(7, NORVATHEL_FEMALE, "El", &only, &stream) == NORVATHEL_OK) {
 *       char name[NORVATHEL_NAME_SIZE];
 *       while (norvathel_stream_next(stream, name, sizeof name, NULL) == NORVATHEL_OK)
 *           puts(name);
 *       norvathel_stream_free(stream);
 *   }
 *
 * Every function reports through its result; none aborts or throws on bad input. Texts are
 * 8-bit and NUL-terminated. An object may be used by one thread at a time; distinct objects
 * are independent. */
#ifndef NORVATHEL_C_H
#define NORVATHEL_C_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && defined(NORVATHEL_C_BUILDING_DLL)
#define NORVATHEL_C_API __declspec(dllexport)
#elif defined(_WIN32) && defined(NORVATHEL_C_USING_DLL)
#define NORVATHEL_C_API __declspec(dllimport)
#elif defined(__GNUC__)
#define NORVATHEL_C_API __attribute__((visibility("default")))
#else
#define NORVATHEL_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Room for any name and its NUL; a board is ten of them. */
#define NORVATHEL_NAME_SIZE 48
#define NORVATHEL_BOARD_NAMES 10

typedef enum norvathel_result {
    NORVATHEL_OK = 0,
    NORVATHEL_DRY = 1,           /* none of a million names in a row met the constraints */
    NORVATHEL_BAD_ARGUMENT = 2,  /* a null pointer, an unknown gender, a buffer too small (never
                                    cut) or a stream's prefix refused */
    NORVATHEL_IMPOSSIBLE = 3,    /* constraints that no name can meet (see norvathel_problem) */
    NORVATHEL_NO_MEMORY = 4
} norvathel_result;

typedef enum norvathel_gender {
    NORVATHEL_DRAWN = 0,  /* each board's gender drawn from the generator, as at start-up */
    NORVATHEL_MALE = 1,
    NORVATHEL_FEMALE = 2,
    NORVATHEL_NEUTRAL = 3  /* since 2.1.0: names of no gender, in a style that has them */
} norvathel_gender;

/* What a kept name must be; all zero constrains nothing. Lengths are in bytes, prefix
 * included; ends_with and the exclude pieces compare letters in either case (beyond ASCII by
 * Unicode's simple case folding). */
typedef struct norvathel_constraints {
    int unique;                 /* nonzero: no name twice */
    int min_length;             /* 0: no lower bound, else 1..45 */
    int max_length;             /* 0: no upper bound, else 1..45 */
    const char* ends_with;      /* NULL or "": any ending */
    const char* const* exclude; /* exclude_count pieces no name may contain */
    size_t exclude_count;
} norvathel_constraints;

typedef struct norvathel_generator norvathel_generator;
typedef struct norvathel_stream norvathel_stream;

/* A word's seed: the 64-bit FNV-1a hash of its bytes, the same in every version. */
NORVATHEL_C_API uint64_t norvathel_seed_from_word(const char* word);
/* A full 64-bit seed from the operating system's entropy. */
NORVATHEL_C_API uint64_t norvathel_entropy_seed(void);
/* A short English description of a result. */
NORVATHEL_C_API const char* norvathel_result_text(norvathel_result result);

/* A bare generator seeded with seed as the program seeds it from its clock (a clock value: only
 * its low 30 bits count), for whole boards as the window composes them. */
NORVATHEL_C_API norvathel_result norvathel_generator_create(uint64_t seed,
                                                            norvathel_generator** generator);
NORVATHEL_C_API void norvathel_generator_free(norvathel_generator* generator);
/* Composes the next board: ten names of the gender (drawn when NORVATHEL_DRAWN; the gender
 * used is stored in *used unless used is NULL), each beginning with prefix (its first 31
 * bytes; NULL for none). */
NORVATHEL_C_API norvathel_result norvathel_compose_board(
    norvathel_generator* generator, norvathel_gender gender, const char* prefix,
    char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE], norvathel_gender* used);

/* Whether some name beginning with prefix can meet the constraints, seen before composing:
 * NORVATHEL_OK, or NORVATHEL_IMPOSSIBLE with the reason in problem (problem_size bytes; may be
 * 0 and problem NULL); NORVATHEL_BAD_ARGUMENT, with the reason too, for a prefix a stream
 * refuses (see norvathel_stream_create). norvathel_check_styled_constraints decides for a
 * style and a gender, in the tool's words. Impossible: a length out of range, crossed lengths, a max_length below
 * the prefix's or the ending's length, an ending longer than 45 bytes, an empty exclude piece
 * or one inside the prefix; lengths that no name with the prefix can have, or an ending that no
 * name can have within the lengths (decided for either gender; a stream decides for its
 * own). */
NORVATHEL_C_API norvathel_result norvathel_check_constraints(
    const char* prefix, const norvathel_constraints* constraints, char* problem,
    size_t problem_size);
/* A stream of names that meet the constraints (NULL for none): the boards composed from a
 * generator whose whole table seed fills (every 64-bit seed its own sequence), with the failing
 * names left out. NORVATHEL_IMPOSSIBLE when no name of the gender can meet the constraints.
 * Every name begins with the whole prefix, so, as the tool does, a prefix longer than 31 bytes
 * or holding a control byte (below 0x20, or 0x7F) is NORVATHEL_BAD_ARGUMENT, not cut (the
 * board functions keep the window's cut at 31 bytes); norvathel_check_constraints says why. */
NORVATHEL_C_API norvathel_result norvathel_stream_create(
    uint64_t seed, norvathel_gender gender, const char* prefix,
    const norvathel_constraints* constraints, norvathel_stream** stream);
NORVATHEL_C_API void norvathel_stream_free(norvathel_stream* stream);
/* The next name into name, whose capacity must be at least NORVATHEL_NAME_SIZE bytes
 * (NORVATHEL_FULL_NAME_SIZE for a stream with surnames: the name is then "Given Surname"), and
 * its gender into *gender unless gender is NULL. A smaller buffer is NORVATHEL_BAD_ARGUMENT,
 * found before a name is drawn: no name is cut or lost. NORVATHEL_DRY once the stream has run
 * dry. */
NORVATHEL_C_API norvathel_result norvathel_stream_next(norvathel_stream* stream, char* name,
                                                       size_t capacity, norvathel_gender* gender);
/* Up to most names in one call (since 2.1.0), for callers that pay for every call: the names
 * as norvathel_stream_next gives them, one after the other in names, each ended by its NUL
 * ("Ilia\0Sojazheta\0..."), their number in *count and, unless genders is NULL, their genders
 * in genders[0] to genders[*count - 1] (room for most). A name is drawn only while
 * NORVATHEL_NAME_SIZE bytes (NORVATHEL_FULL_NAME_SIZE with surnames) are left behind the last,
 * so none is cut or lost: a buffer of most times that size takes most names. NORVATHEL_OK when
 * most names were written or the buffer is full; NORVATHEL_DRY when the stream ran dry after
 * *count names; NORVATHEL_BAD_ARGUMENT, with nothing written, when count is NULL or most > 0
 * and the buffer cannot take one name. */
NORVATHEL_C_API norvathel_result norvathel_stream_fill(norvathel_stream* stream, char* names,
                                                       size_t capacity, size_t most, size_t* count,
                                                       norvathel_gender* genders);
/* How many names the stream has composed and handed out so far. */
NORVATHEL_C_API void norvathel_stream_counts(const norvathel_stream* stream, uint64_t* composed,
                                             uint64_t* kept);

/* One stable name per key (a character's id, a row):
 *
 *   char name[NORVATHEL_NAME_SIZE];
 *   uint64_t seed = norvathel_key_seed("npc-1", 5);
 *   if (norvathel_key_name(seed, NORVATHEL_FEMALE, NULL, NULL, name, sizeof name, NULL) == NORVATHEL_OK)
 *       puts(name);
 *
 * A key's seed is the 64-bit FNV-1a hash of its length bytes; with a project seed, that hash
 * XOR the first SplitMix64 output of the project seed, so that two projects give one key
 * different names. */
NORVATHEL_C_API uint64_t norvathel_key_seed(const char* key, size_t length);
NORVATHEL_C_API uint64_t norvathel_project_key_seed(const char* key, size_t length,
                                                    uint64_t project_seed);
/* The key's name: the first name that a stream created with key_seed and the same gender,
 * prefix and constraints would hand out, composing only as far as that name. NORVATHEL_BAD_ARGUMENT
 * when constraints ask for unique names (a key's name must not depend on the other keys);
 * NORVATHEL_DRY when a million names in a row fail. */
NORVATHEL_C_API norvathel_result norvathel_key_name(uint64_t key_seed, norvathel_gender gender,
                                                    const char* prefix,
                                                    const norvathel_constraints* constraints,
                                                    char* name, size_t capacity,
                                                    norvathel_gender* used);

/* Styles: the voice names are composed in. "classic" is the program's own; the others are
 * built in by name or read from a style file (TOML, described in the README). A style is
 * read-only once made; streams keep what they need of it, so it may be freed as soon as they
 * are made. A full name is "Given Surname" and needs NORVATHEL_FULL_NAME_SIZE bytes. */
#define NORVATHEL_FULL_NAME_SIZE 92
typedef struct norvathel_style norvathel_style;

/* The name of built-in style index, classic first (index 0); NULL past the last one. */
NORVATHEL_C_API const char* norvathel_builtin_style_name(size_t index);
/* The built-in style of that name; NORVATHEL_BAD_ARGUMENT when there is none. */
NORVATHEL_C_API norvathel_result norvathel_style_builtin(const char* name, norvathel_style** style);
/* A style from a file, or from length bytes of TOML text. NORVATHEL_BAD_ARGUMENT when it is
 * not a valid style, with "file:line:column: what is wrong" in problem (problem_size bytes;
 * may be 0 and problem NULL). */
NORVATHEL_C_API norvathel_result norvathel_style_from_file(const char* path, norvathel_style** style,
                                                           char* problem, size_t problem_size);
NORVATHEL_C_API norvathel_result norvathel_style_from_text(const char* text, size_t length,
                                                           norvathel_style** style, char* problem,
                                                           size_t problem_size);
/* A style learned from length bytes of example names, as `norvathel-names learn` learns it:
 * one name a line, each optionally followed by a tab and m or f for its gender; the style never
 * gives an example (its guard holds their hashes). source names the text in faults (NULL:
 * "text"). NORVATHEL_BAD_ARGUMENT when the list has faults or gives no style, with every fault
 * in problem, "source:line:column: what is wrong" a line each (the first 20, then "and N more
 * faults"). */
NORVATHEL_C_API norvathel_result norvathel_style_learn(const char* text, size_t length, const char* source,
                                                       norvathel_style** style, char* problem,
                                                       size_t problem_size);
/* The style as the text of a style file, which norvathel_style_from_text reads back to the same
 * style: NUL-terminated into buffer (size bytes), the bytes it needs, NUL included, in *needed
 * (may be NULL). NORVATHEL_BAD_ARGUMENT, buffer untouched, when it does not fit: call again
 * with *needed bytes. */
NORVATHEL_C_API norvathel_result norvathel_style_text(const norvathel_style* style, char* buffer, size_t size,
                                                      size_t* needed);
NORVATHEL_C_API void norvathel_style_free(norvathel_style* style);
/* The style's name and one-line description, valid while the style is. */
NORVATHEL_C_API const char* norvathel_style_name(const norvathel_style* style);
NORVATHEL_C_API const char* norvathel_style_description(const norvathel_style* style);
/* norvathel_compose_board in the given style (NULL: classic). */
NORVATHEL_C_API norvathel_result norvathel_compose_styled_board(
    norvathel_generator* generator, const norvathel_style* style, norvathel_gender gender,
    const char* prefix, char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE],
    norvathel_gender* used);
/* norvathel_check_constraints for a style (NULL: classic) and a gender (since 2.1.0): exactly
 * what norvathel_styled_stream_create decides, with the reason in the tool's words (the
 * gender, the prefix and the style's letters named, "ends_with \"a\": no male name ends in a
 * vowel (male names end in a consonant)") in reason (reason_size bytes; may be 0 and reason
 * NULL; "" when the result is NORVATHEL_OK). */
NORVATHEL_C_API norvathel_result norvathel_check_styled_constraints(
    const norvathel_style* style, norvathel_gender gender, const char* prefix,
    const norvathel_constraints* constraints, char* reason, size_t reason_size);
/* norvathel_stream_create in the given style (NULL: classic). With full_names nonzero each
 * name gets a surname, composed from a second generator derived from seed: the given names
 * are exactly those of the same stream without surnames; the constraints apply to the given
 * name, unique to the whole name. */
NORVATHEL_C_API norvathel_result norvathel_styled_stream_create(
    uint64_t seed, const norvathel_style* style, norvathel_gender gender, const char* prefix,
    const norvathel_constraints* constraints, int full_names, norvathel_stream** stream);
/* The next name as "Given Surname" (or the given name alone, from a stream without surnames)
 * into name, whose capacity must be at least NORVATHEL_FULL_NAME_SIZE bytes; the given name's
 * length into *given_length and its gender into *gender unless they are NULL. */
NORVATHEL_C_API norvathel_result norvathel_stream_next_full(norvathel_stream* stream, char* name,
                                                            size_t capacity, size_t* given_length,
                                                            norvathel_gender* gender);
/* norvathel_key_name in the given style (NULL: classic); with full_names nonzero the name is
 * "Given Surname" (the surname a full-name stream of key_seed gives it) and capacity must be
 * at least NORVATHEL_FULL_NAME_SIZE bytes. The given name's length into *given_length unless
 * it is NULL. */
NORVATHEL_C_API norvathel_result norvathel_styled_key_name(
    uint64_t key_seed, const norvathel_style* style, norvathel_gender gender, const char* prefix,
    const norvathel_constraints* constraints, int full_names, char* name, size_t capacity,
    size_t* given_length, norvathel_gender* used);

#ifdef __cplusplus
}
#endif

#endif
