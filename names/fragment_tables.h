// The four fragment tables names are built from. Repetitions are weights and the order is
// part of the data: a drawn index selects by position. Each table ends with a "\n" entry
// that marks its end; no draw reaches it.
#pragma once

extern const char* const Consonants[61];     // draws 0..59
extern const char* const Clusters[26];       // draws 0..23: "rr" at 24 is never used
extern const char* const Vowels[10];         // draws 0..8
extern const char* const FemaleEndings[47];  // draws 0..45
