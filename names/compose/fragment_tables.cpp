#include "compose/fragment_tables.h"

namespace norvathel {

// The sizes are those of the declarations: a longer table or fragment does not compile, and
// in a shorter table the end marker is missing (the table tests look for it).
// clang-format off
const char Consonants[][3] = {
    "b", "b", "b", "c", "c", "d", "d", "d", "d", "f",
    "f", "g", "g", "g", "h", "h", "j", "k", "k", "k",
    "l", "l", "l", "m", "m", "m", "n", "n", "n", "n",
    "p", "r", "r", "r", "r", "r", "r", "s", "s", "s",
    "s", "s", "s", "s", "s", "t", "t", "t", "t", "t",
    "t", "v", "z", "w", "ch", "th", "sh", "ch", "th", "sh",
    "\n",
};

const char Clusters[][3] = {
    "rh", "zh", "gr", "gl", "kr", "kl", "kh", "vr", "zr", "pr",
    "dr", "fr", "sr", "sl", "dl", "fl", "pl", "vl", "cr", "cl",
    "tr", "tl", "zl", "ll", "rr",
    "\n",
};

const char Vowels[][2] = {
    "a", "a", "e", "e", "i", "i", "o", "u", "y",
    "\n",
};

const char FemaleEndings[][8] = {
    "ea", "ae", "enne", "ia", "elle", "ette", "anne", "ay", "ua", "ina",
    "inna", "ila", "ela", "ella", "ian", "ie", "ora", "el", "eta", "ula",
    "ala", "ara", "ana", "icia", "inda", "isa", "era", "andra", "esse", "issa",
    "aura", "etty", "anda", "igail", "egaila", "etha", "eth", "ianna", "aila", "ayla",
    "iva", "avaatha", "een", "eah", "esha", "essa",
    "\n",
};
// clang-format on

}  // namespace norvathel
