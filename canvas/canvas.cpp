#include "canvas/canvas.h"

// Skeleton: filled in next.
namespace shared_canvas {
bool HasPixels(int width, int height) {
    return width > 0 && height > 0;
}
}  // namespace shared_canvas
