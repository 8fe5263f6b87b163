// A note's messages: drawing with the mouse, the eyedropper, moving by the
// tab, painting, the popup menu, undo, and the end of the window or session.
#include "paper/paper.h"

#include "resources/resource.h"
#include "settings/settings.h"

namespace {

constexpr Rgb BLACK = 0x000000;
constexpr Rgb TAB_COLOR = 0x00FFFF;

bool IsAltDown() {
    return GetKeyState(VK_MENU) < 0;
}

// While the mouse is captured, points left of or above the window arrive as
// words above 0x7FFF; they count as -1, the edge just outside.
int CapturedCoordinate(WORD word) {
    return word > 0x7FFF ? -1 : static_cast<int>(word);
}

// The padlock drawn in the tab of a locked note, as one-pixel lines whose end
// points are left out.
struct PadlockLine {
    int x1, y1, x2, y2;
};
constexpr PadlockLine PADLOCK_LINES[] = {
    {4, 0, 11, 0},   {3, 1, 3, 4},    {11, 1, 11, 4},  {0, 4, 15, 4}, {0, 5, 0, 14},
    {14, 5, 14, 14}, {0, 14, 15, 14}, {5, 6, 10, 6},   {4, 7, 4, 10}, {10, 7, 10, 10},
    {5, 10, 10, 10}, {7, 11, 7, 14},  {8, 12, 10, 12},
};
constexpr int PADLOCK_SIZE = 15;

}  // namespace

LRESULT Paper::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The note is not deleted before this returns, whatever the handler does
    // (a dialog of its own, its teardown, the program's exit).
    ActiveCall call(*this);
    switch (message) {
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam));
            return 1;
        case WM_CREATE:
            return 1;
        case WM_DESTROY:
            return OnDestroy();
        case WM_QUERYENDSESSION:
            return OnQueryEndSession();
        case WM_MOVE:
            return OnMove(lParam);
        case WM_PAINT:
            return OnPaint();
        case WM_NCHITTEST:
            return OnNcHitTest(window, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(lParam);
        case WM_LBUTTONDOWN:
            return OnLButtonDown(lParam);
        case WM_LBUTTONUP:
            return OnLButtonUp(lParam);
        case WM_RBUTTONUP:
            return OnRButtonUp();
        case WM_DROPFILES:
            return OnDropFiles(reinterpret_cast<HDROP>(wParam));
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT Paper::OnMove(LPARAM lParam) {
    const int32_t newX = static_cast<int16_t>(LOWORD(lParam));
    const int32_t newY = static_cast<int16_t>(HIWORD(lParam));
    const bool moved = newX != x || newY != y;
    x = newX;
    y = newY;
    // Moves while the window is being made reach no note (it has no window
    // yet) and leave it where it was made.
    if (moved) MarkChanged();
    return 1;
}

LRESULT Paper::OnDestroy() {
    Save();
    // The system is destroying the window already; the teardown must not
    // destroy it a second time.
    window = nullptr;
    Destroy();
    return 1;
}

LRESULT Paper::OnQueryEndSession() {
    // The note is saved but kept: if the session really ends the process ends
    // with it, and if the shutdown is cancelled every note is still there.
    Save();
    return 1;
}

LRESULT Paper::OnNcHitTest(HWND window, WPARAM wParam, LPARAM lParam) {
    const LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    if (hit != HTCLIENT) return hit;
    const int pointX = static_cast<int16_t>(LOWORD(lParam));
    const int pointY = static_cast<int16_t>(HIWORD(lParam));
    // Nothing of the shape lies right of the tab above the body, so this makes
    // exactly the tab act as a caption.
    if (pointX < x + tabWidth + 2 && pointY < y + tabHeight + 1) return HTCAPTION;
    return HTCLIENT;
}

LRESULT Paper::OnLButtonDown(LPARAM lParam) {
    SetCapture(window);
    lastX = LOWORD(lParam);
    lastY = HIWORD(lParam);
    if (IsAltDown()) {
        // A drag that began with Alt draws once Alt is let go, so the undo
        // copy must exist by then; it holds the picture as it was before.
        if (!undoCanvas) RefreshUndoCopy();
        PickColor(lastX, lastY);
        return 1;
    }
    // Whatever the tool, also while locked: the press refreshes the undo copy.
    RefreshUndoCopy();
    return 1;
}

LRESULT Paper::OnMouseMove(LPARAM lParam) {
    if (!window || GetCapture() != window) return 1;
    const int pointX = CapturedCoordinate(LOWORD(lParam));
    const int pointY = CapturedCoordinate(HIWORD(lParam));
    if (IsAltDown()) {
        PickColor(pointX, pointY);
        return 1;
    }
    if (!picture || locked) return 1;
    const ToolState& tools = Tools();
    switch (tools.DrawMode) {
        case DRAW_PEN:
        case DRAW_ERASE:
            DrawStroke(pointX, pointY);
            lastX = pointX;
            lastY = pointY;
            // The release tells the main window; no save runs before it.
            dirty = true;
            break;
        case DRAW_BOX:
        case DRAW_CIRCLE:
            // The preview shows the shape from the anchor to the pointer.
            if (DibSectionCanvas* preview = PreviewOverlay()) {
                ClearPreview();
                if (tools.DrawMode == DRAW_BOX) {
                    preview->FillBox(lastX, lastY, pointX, pointY, BLACK);
                } else {
                    preview->FillEllipse(lastX, lastY, pointX, pointY, BLACK);
                }
            }
            break;
        default:
            return 1;
    }
    InvalidateRect(window, &drawArea, FALSE);
    return 1;
}

LRESULT Paper::OnLButtonUp(LPARAM lParam) {
    if (!window || GetCapture() != window) return 1;
    const int pointX = CapturedCoordinate(LOWORD(lParam));
    const int pointY = CapturedCoordinate(HIWORD(lParam));
    bool drew = true;
    bool changed = false;
    if (IsAltDown()) {
        PickColor(pointX, pointY);
    } else if (picture && !locked) {
        changed = true;
        const ToolState& tools = Tools();
        const Rgb penColor = ColorQuadToRgb(tools.PenColor);
        switch (tools.DrawMode) {
            case DRAW_PEN:
            case DRAW_ERASE:
                DrawStroke(pointX, pointY);
                break;
            case DRAW_FILL:
                // The fill starts where the button went down.
                picture->FloodFill(lastX, lastY, penColor);
                break;
            case DRAW_BOX:
                picture->FillBox(lastX, lastY, pointX, pointY, penColor);
                ClearPreview();
                break;
            case DRAW_CIRCLE:
                picture->FillEllipse(lastX, lastY, pointX, pointY, penColor);
                ClearPreview();
                break;
            default:
                drew = changed = false;
                break;
        }
    }
    if (drew) InvalidateRect(window, &drawArea, FALSE);
    // Ends every captured press, also with Alt or while locked.
    ReleaseCapture();
    if (changed || dirty) MarkChanged();
    return 1;
}

void Paper::DrawStroke(int pointX, int pointY) {
    const ToolState& tools = Tools();
    if (tools.DrawMode == DRAW_PEN) {
        picture->DrawThickLine(lastX, lastY, pointX, pointY, ColorQuadToRgb(tools.PenColor),
                               tools.PenSize);
    } else {
        picture->DrawThickLine(lastX, lastY, pointX, pointY, Background(), tools.EraseSize);
    }
}

void Paper::PickColor(int pointX, int pointY) {
    ToolState& tools = Tools();
    if (picture) {
        tools.PenColor.red = static_cast<uint8_t>(picture->GetRed(pointX, pointY));
        tools.PenColor.green = static_cast<uint8_t>(picture->GetGreen(pointX, pointY));
        tools.PenColor.blue = static_cast<uint8_t>(picture->GetBlue(pointX, pointY));
    } else {
        tools.PenColor.red = tools.PenColor.green = tools.PenColor.blue = 0;
    }
    // The main window hands it on to the tool palette, which shows the colour.
    if (mainWindow) SendMessageA(mainWindow, WM_PEN_COLOR_PICKED, 0, 0);
}

LRESULT Paper::OnPaint() {
    if (picture) {
        picture->FillBox(0, 0, tabWidth + 1, tabHeight + 1, TAB_COLOR);
        if (locked) {
            DdbCanvas padlock(1, 1);
            padlock.Create(PADLOCK_SIZE, PADLOCK_SIZE, TAB_COLOR);
            for (const PadlockLine& line : PADLOCK_LINES) {
                padlock.DrawLine(line.x1, line.y1, line.x2, line.y2, BLACK);
            }
            padlock.DrawTo(static_cast<Canvas*>(picture.get()), (tabWidth - PADLOCK_SIZE) / 2 + 1,
                           (tabHeight - PADLOCK_SIZE) / 2 + 1);
        }
        // The outlines run along the last pixels of the tab and body shapes; the
        // tab's bottom edge lies on the body's top edge.
        const PaperGeometry geometry = Geometry();
        picture->DrawBox(0, 0, geometry.tab.right - 1, geometry.tab.bottom, BLACK);
        picture->DrawBox(0, geometry.body.top, geometry.body.right - 1, geometry.body.bottom - 1,
                         BLACK);
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc) {
        if (picture) picture->DrawToDC(dc, 0, 0);
        const DrawMode mode = Tools().DrawMode;
        if (overlay && (mode == DRAW_BOX || mode == DRAW_CIRCLE) && GetCapture() == window) {
            overlay->DrawToDC(dc, 0, 0);
        }
    }
    EndPaint(window, &paint);
    return 1;
}

LRESULT Paper::OnRButtonUp() {
    if (!menu) return 1;
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, 0, TRUE);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    return 1;
}

bool Paper::Undo() {
    if (!picture || locked) return false;
    // No press since the picture was made or replaced: the undo copy would be
    // the picture itself.
    if (!undoCanvas) return true;
    if (picture->GetWidth() == undoCanvas->GetWidth() &&
        picture->GetHeight() == undoCanvas->GetHeight() &&
        picture->GetTransparentColor() == NO_TRANSPARENT_COLOR &&
        undoCanvas->GetTransparentColor() == NO_TRANSPARENT_COLOR) {
        // Two opaque canvases of one size and kind: exchanging them gives
        // exactly the pixels of copying each into the other, without moving
        // any.
        picture.swap(undoCanvas);
    } else {
        DdbCanvas swap(1, 1);
        swap.Create(picture->GetWidth(), picture->GetHeight(), 0);
        picture->DrawTo(static_cast<GdiSurface*>(&swap), 0, 0);
        undoCanvas->DrawTo(static_cast<GdiSurface*>(picture.get()), 0, 0);
        swap.DrawTo(static_cast<GdiSurface*>(undoCanvas.get()), 0, 0);
    }
    InvalidateRect(window, &drawArea, FALSE);
    MarkChanged();
    return true;
}
