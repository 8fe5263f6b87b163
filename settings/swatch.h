// Fills a bordered static control (a colour swatch) with a colour.
#pragma once

#include <windows.h>

// Paints the inside of control `controlId` of `dialog` in `colour`: every pixel
// connected to (1, 1) that has the colour of the control's pixel (0, 0) takes
// the colour, whatever the control showed before. Painting goes through
// BeginPaint on the control, so it covers the control's pending update region
// and the control does not paint itself over the colour afterwards.
void PaintSwatch(HWND dialog, int controlId, COLORREF colour);
