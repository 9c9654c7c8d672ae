#include "paint/board_hit_test.h"

#include <norvathel/name_composer.h>
#include "paint/name_board.h"

int PlateAt(POINT client)
{
    // Last entry first: each row's plates cover the bottom of the row above.
    for (int index = norvathel::NamesPerBoard - 1; index >= 0; --index) {
        RECT plate = PlateRect(index);
        if (PtInRect(&plate, client))
            return index;
    }
    return -1;
}
