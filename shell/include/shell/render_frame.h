// The program's frames: the board painting on the program's own objects (MainSurface, the
// painting handles and BoardNames).
#pragma once

// One paced frame: FrameHook, then PresentFrame.
void RenderFrame();
// DrawFrame on the program's objects: the whole board, then one copy to the window.
void PresentFrame();
// DrawHeading on MainSurface's back buffer.
void DrawHeading();
// DrawNameBoard of BoardNames with the painting handles on MainSurface's back buffer.
void DrawNameBoard();
// An empty per-frame step that runs before any drawing.
void FrameHook();
