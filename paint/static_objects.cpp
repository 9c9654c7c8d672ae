// The program-wide presentation objects, defined together so that their order is fixed:
// constructed surface first, images after it; destroyed at exit in reverse (images, then surface).
#include "paint/raster_image.h"
#include "paint/window_surface.h"

WindowSurface MainSurface;
RasterImage StaticImages[2];  // made and destroyed, never drawn with
