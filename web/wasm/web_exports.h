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
// Why no name can meet the constraints, as the library says it, for the JavaScript side to word
// as the tool does: out[0] the fault (norvathel::ConstraintFault, 0 for none), out[1] the
// length at fault, out[2] the bound it crosses, out[3] the piece at fault. The style is the
// built-in one named style_name, or (style_name NULL) the one style_text describes, or
// (both NULL) classic.
NORVATHEL_WEB_API norvathel_result norvathel_web_constraint_fault(
    const char* prefix, norvathel_gender gender, const norvathel_constraints* constraints,
    const char* style_name, const char* style_text, size_t style_length, int64_t out[4]);
// Up to count names from the stream into text, each followed by '\n', and each name's gender
// ('m' or 'f') into genders; filled[0] is how many names, filled[1] how many bytes of text.
// NORVATHEL_DRY once the stream runs dry. text must hold count * NORVATHEL_NAME_SIZE bytes.
NORVATHEL_WEB_API norvathel_result norvathel_web_stream_fill(norvathel_stream* stream, char* text,
                                                             char* genders, uint32_t count,
                                                             uint32_t filled[2]);
// The same for full names, "Given Surname" each, with each given name's length in bytes in
// given_lengths. text must hold count * NORVATHEL_FULL_NAME_SIZE bytes.
NORVATHEL_WEB_API norvathel_result norvathel_web_stream_fill_full(norvathel_stream* stream,
                                                                  char* text, char* genders,
                                                                  uint8_t* given_lengths,
                                                                  uint32_t count, uint32_t filled[2]);
