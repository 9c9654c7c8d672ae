// Counting this process's GDI objects, to show that image operations give back every handle.
#pragma once

#include <windows.h>

#include <vector>

// A number that grows by one for each GDI object the process holds. GetGuiResources gives the
// count on Windows; Wine only stubs it (returns 0), so there the count is taken the other way
// round: minus the number of objects the process can still create before its handle table is
// full. Either way two equal readings mean nothing was leaked in between. Anything created
// lazily on first use (a first device context's defaults) must exist before the first reading.
inline long GdiObjectCount()
{
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0)
        return static_cast<long>(reported);
    std::vector<HBRUSH> brushes;
    while (brushes.size() < 1000000) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return -static_cast<long>(brushes.size());
}
