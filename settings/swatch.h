// The colour swatch of a dialog: a bordered static control filled with a
// colour, and the colour chooser that a click on it opens.
#pragma once

#include "settings/color_quad.h"

#include <windows.h>

// Paints the inside of control `controlId` of `dialog` in `colour`: every pixel
// connected to (1, 1) that has the colour of the control's pixel (0, 0) takes
// the colour, whatever the control showed before. Painting goes through
// BeginPaint on the control, so it covers the control's pending update region
// and the control does not paint itself over the colour afterwards.
void PaintSwatch(HWND dialog, int controlId, COLORREF colour);

// Runs the colour chooser owned by `owner`, starting from `colour`, with
// `customColors` as its custom colours (they keep what the user sets there).
// A confirmed choice becomes the red, green and blue of `colour`, its alpha
// kept; a cancelled one leaves `colour` as it was.
void ChooseSwatchColor(HWND owner, ColorQuad& colour, COLORREF (&customColors)[16]);
