// What the WebAssembly module exports beside the C interface: buffers for JavaScript, the
// memory guard and batches of names (one call for many names: a call across the boundary
// costs more than composing a name).
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <norvathel/norvathel_c.h>

#define NORVATHEL_WEB_API extern "C" __attribute__((visibility("default")))

NORVATHEL_WEB_API void* norvathel_web_alloc(size_t size);
NORVATHEL_WEB_API void norvathel_web_free(void* block);
// Nonzero when the memory reserve is held (see memory_guard.cpp); a call made without it could
// run out of memory half way.
NORVATHEL_WEB_API int norvathel_web_arm(void);
// Nonzero once an allocation failed beyond the reserve and trapped: tells a trap from running
// out of memory from any other trap, which is a fault of the module's own.
NORVATHEL_WEB_API int norvathel_web_ran_out(void);
// Why no name can meet the constraints, worded for surface (0 the tool, 1 the library, 2 the
// page: cli/fault_words.h), into message (size bytes, NUL-terminated; empty when they can be
// met). The style is the built-in one named style_name, or (style_name NULL) the one
// style_text describes, or (both NULL) classic.
NORVATHEL_WEB_API norvathel_result norvathel_web_constraint_message(
    const char* prefix, norvathel_gender gender, const norvathel_constraints* constraints,
    const char* style_name, const char* style_text, size_t style_length, int surface, char* message,
    size_t size);
// norvathel_styled_stream_create and norvathel_styled_key_name with min_length and max_length
// counted in letters (code points), as the tool counts them.
NORVATHEL_WEB_API norvathel_result norvathel_web_stream_create(uint64_t seed, const norvathel_style* style,
                                                               norvathel_gender gender, const char* prefix,
                                                               const norvathel_constraints* constraints,
                                                               int full_names, norvathel_stream** stream);
NORVATHEL_WEB_API norvathel_result norvathel_web_key_name(uint64_t key_seed, const norvathel_style* style,
                                                          norvathel_gender gender, const char* prefix,
                                                          const norvathel_constraints* constraints, int full_names,
                                                          char* name, size_t capacity, size_t* given_length,
                                                          norvathel_gender* used);
// A --boards list read as the tool reads it (cli/argument_texts.h): into out, for each item its
// gender ('s' start, 'm', 'f', 'n') and its decoded prefix, NUL-terminated; the item count, or -1
// with the tool's message in out. out holds size bytes.
NORVATHEL_WEB_API int32_t norvathel_web_parse_boards(const char* list, char* out, size_t size);
// Up to count names from the stream into text, each followed by '\n', each name's gender
// ('m', 'f' or 'n') into genders and its length in bytes into lengths; filled[0] is how many
// names, filled[1] how many bytes of text. NORVATHEL_DRY once the stream runs dry. text must
// hold count * NORVATHEL_NAME_SIZE bytes.
NORVATHEL_WEB_API norvathel_result norvathel_web_stream_fill(norvathel_stream* stream, char* text,
                                                             char* genders, uint8_t* lengths,
                                                             uint32_t count, uint32_t filled[2]);
// The same for full names, "Given Surname" each, with each given name's length in bytes in
// given_lengths. text must hold count * NORVATHEL_FULL_NAME_SIZE bytes.
NORVATHEL_WEB_API norvathel_result norvathel_web_stream_fill_full(norvathel_stream* stream,
                                                                  char* text, char* genders,
                                                                  uint8_t* given_lengths,
                                                                  uint32_t count, uint32_t filled[2]);
// Why the stream stopped at written of count names, in the tool's words (cli/fault_words.h),
// into message (size bytes, NUL-terminated).
NORVATHEL_WEB_API void norvathel_web_dry_message(const norvathel_stream* stream, uint64_t written,
                                                 uint64_t count, char* message, size_t size);
// The tool's readers of single arguments (cli/fault_words.h), the option named as option:
// nonzero when text is good; else 0, with the reason in message (size bytes, NUL-terminated).
// A seed: digits only a number, any other text a word's hash, into *seed.
NORVATHEL_WEB_API int norvathel_web_read_seed(const char* option, const char* text, uint64_t* seed,
                                              char* message, size_t size);
// A length constraint, 1 to 45, into *length.
NORVATHEL_WEB_API int norvathel_web_read_length(const char* option, const char* text, int32_t* length,
                                                char* message, size_t size);
// A prefix: at most 31 bytes, no control byte.
NORVATHEL_WEB_API int norvathel_web_check_prefix(const char* option, const char* text, char* message,
                                                 size_t size);
// A text that becomes part of a name (an ending): no control byte.
NORVATHEL_WEB_API int norvathel_web_check_text(const char* option, const char* text, size_t length,
                                               char* message, size_t size);
// A style learned from length bytes of example names as `norvathel-names learn` learns it,
// named and described as asked (NULL or empty: the learner's own), its guard left out when
// allow_copies is nonzero. NORVATHEL_OK: the style file's text in a block at *style_text
// (freed with norvathel_web_free), its length in *style_length, and the report in the tool's
// words (four lines) in message. NORVATHEL_BAD_ARGUMENT: every fault in message, a line each
// ("source:line:column: what is wrong", the first 20, then a count). On success any warnings
// (a line each, "...: warning: ...") come before the report. message holds size bytes.
NORVATHEL_WEB_API norvathel_result norvathel_web_learn(const char* text, size_t length, const char* source,
                                                       const char* name, const char* description,
                                                       int allow_copies, char** style_text,
                                                       size_t* style_length, char* message, size_t size);
