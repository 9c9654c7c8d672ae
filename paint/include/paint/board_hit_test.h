// Which board entry is shown at a point of the client area, from the plates the painting draws.
#pragma once
#include <windows.h>

// The entry whose plate is shown at the client point, or -1 between and outside the plates.
// Where two plates overlap the later entry is the one seen, as it is painted over the other.
int PlateAt(POINT client);
