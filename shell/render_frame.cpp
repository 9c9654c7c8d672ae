#include "shell/render_frame.h"

#include "paint/name_board.h"
#include "shell/program_state.h"

namespace {

BoardPictures ProgramPictures()
{
    return {BoardBitmap, PlateBitmap, PlateDC};
}

}  // namespace

void FrameHook()
{
}

void RenderFrame()
{
    FrameHook();
    PresentFrame();
}

void PresentFrame()
{
    DrawFrame(SurfaceTarget(MainSurface), ProgramPictures(), BoardNames);
}

void DrawHeading()
{
    DrawHeading(MainSurface.MemoryDC());
}

void DrawNameBoard()
{
    DrawNameBoard(MainSurface.MemoryDC(), ProgramPictures(), BoardNames);
}
