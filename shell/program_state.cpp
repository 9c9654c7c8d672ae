#include "shell/program_state.h"

// The two objects with work to do at start and exit come first and together, in this order:
// the surface is constructed first and the images after it, so the exit handlers destroy
// image 1, then image 0, then the surface.
WindowSurface MainSurface;
RasterImage StaticImages[2];

HINSTANCE AppInstance;
norvathel::AdditiveRandom SharedRandom;
norvathel::NameList BoardNames;
HBITMAP BoardBitmap;
HBITMAP PlateBitmap;
HDC PlateDC;
HWND MaleButton;
HWND FemaleButton;
HWND PrefixEdit;
