// The note operations a person waits for: making a note, a press, an undo, a
// step of a box drag with its repaint, a resize, and 255 stored notes restored
// at start and saved at exit, set against the bare cost of the windows.
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include <psapi.h>

#include "bench/bench_main.h"
#include "bench/bench_util.h"
#include "paper/paper.h"
#include "paper/paper_record.h"
#include "settings/settings.h"

namespace bench {

namespace {

constexpr int MAX_NOTES = 255;
constexpr int TAB = 20;

// The registry of this program: the note of each slot, so that the shared
// window procedure finds the note a message belongs to.
Paper* g_notes[MAX_NOTES] = {};
HWND g_mainWindow = nullptr;

LRESULT CALLBACK BenchPaperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (Paper* note : g_notes) {
        if (note && note->GetWindow() == window) {
            return note->HandleMessage(window, message, wParam, lParam);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Takes a note out of the registry before deleting it, so that its window's
// destroy message finds no note and nothing is saved.
void DeleteNote(int slot) {
    Paper* note = g_notes[slot];
    g_notes[slot] = nullptr;
    delete note;
}

void DeleteAllNotes() {
    for (int slot = 0; slot < MAX_NOTES; ++slot) DeleteNote(slot);
    DrainMessages();
}

Paper* NewNote(int slot, int width, int height) {
    Paper* note = new Paper();
    g_notes[slot] = note;
    note->Create(g_mainWindow, BenchPaperWindowProc, TAB, TAB, width, height, slot);
    Paper::SetToolState(&g_settings.Tool);
    return note;
}

HRGN NoteShape(int width, int height) {
    PaperGeometry geometry = ComputePaperGeometry(TAB, TAB, width, height);
    HRGN shape = CreateRectRgnIndirect(&geometry.tab);
    HRGN body = CreateRectRgnIndirect(&geometry.body);
    CombineRgn(shape, shape, body, RGN_OR);
    DeleteObject(body);
    return shape;
}

// The plain platform work of a note of that size: its window with its shape,
// and up to three surfaces filled by one PatBlt each.
struct BareNote {
    HWND window = nullptr;
    HDC dcs[3] = {};
    HBITMAP bitmaps[3] = {};
    HGDIOBJ previous[3] = {};
};

void MakeBareNote(BareNote& bare, int width, int height, int surfaces) {
    PaperGeometry geometry = ComputePaperGeometry(TAB, TAB, width, height);
    bare.window = CreateWindowExA(WS_EX_TOOLWINDOW, "InkslipBenchBare", nullptr, WS_POPUP, 10, 10,
                                  geometry.windowWidth, geometry.windowHeight, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SetWindowRgn(bare.window, NoteShape(width, height), TRUE);
    if (surfaces == 0) return;
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < surfaces; ++i) {
        bare.bitmaps[i] =
            CreateCompatibleBitmap(screen, geometry.windowWidth, geometry.windowHeight);
        bare.dcs[i] = CreateCompatibleDC(screen);
        bare.previous[i] = SelectObject(bare.dcs[i], bare.bitmaps[i]);
        PatBlt(bare.dcs[i], 0, 0, geometry.windowWidth, geometry.windowHeight, WHITENESS);
    }
    ReleaseDC(nullptr, screen);
}

void FreeBareNote(BareNote& bare) {
    for (int i = 0; i < 3; ++i) {
        if (!bare.dcs[i]) continue;
        SelectObject(bare.dcs[i], bare.previous[i]);
        DeleteObject(bare.bitmaps[i]);
        DeleteDC(bare.dcs[i]);
        bare.dcs[i] = nullptr;
    }
    if (bare.window) DestroyWindow(bare.window);
    bare.window = nullptr;
}

void RegisterBareClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = "InkslipBenchBare";
    RegisterClassExA(&windowClass);
}

// Restores notes 0 .. count - 1 from a folder of stored notes and shows them,
// as the program does at start, then lets every window paint.
void RestoreNotes(const std::string& folder, int count) {
    for (int number = 0; number < count; ++number) {
        Paper* note = new Paper();
        g_notes[number] = note;
        std::string path = DataFilePath(folder, number, "dat");
        note->CreateFromFile(g_mainWindow, BenchPaperWindowProc, TAB, TAB, path.c_str(), number);
        Paper::SetToolState(&g_settings.Tool);
    }
    for (int number = 0; number < count; ++number) {
        if (g_notes[number] && g_notes[number]->GetWindow()) {
            ShowWindow(g_notes[number]->GetWindow(), SW_SHOWNORMAL);
        }
    }
    DrainMessages();
}

void SaveNotes(const std::string& folder, int count) {
    for (int number = 0; number < count; ++number) {
        if (g_notes[number] && g_notes[number]->GetWindow()) g_notes[number]->Save(folder.c_str());
    }
}

void SetUpMainWindow() {
    g_mainWindow = CreateBenchWindow("InkslipBenchMain", nullptr, 10, 10, false);
    RegisterBareClass();
    ResetSettings(g_settings);
    Paper::SetToolState(&g_settings.Tool);
}

}  // namespace

void RunPaperBenchmarks() {
    SetUpMainWindow();
    HDC screen = GetDC(nullptr);

    for (int size = 0; size < 2; ++size) {
        int width = size == 0 ? 200 : 1000;
        int height = size == 0 ? 200 : 800;
        Row row{"Paper::Create " + std::to_string(width) + " × " + std::to_string(height)};
        row.ours = MeasureOurs([&] { NewNote(0, width, height); }, 7, {},
                               [&] {
                                   DeleteNote(0);
                                   DrainMessages();
                               });
        BareNote bare;
        row.limit = Measure([&] { MakeBareNote(bare, width, height, 1); }, 7, 7, 0, {},
                            [&] { FreeBareNote(bare); });
        row.limitWhat = "bare shaped window + its surface, one PatBlt";
        if (size == 1) row.target = "<= 30";
        PrintRow(row);
    }

    {
        // A visible 1000 × 800 note with a drawing on it.
        Paper* note = NewNote(0, 1000, 800);
        ShowWindow(note->GetWindow(), SW_SHOWNOACTIVATE);
        DrainMessages();
        Random random(11);
        for (int stroke = 0; stroke < 30; ++stroke) {
            note->GetPicture()->DrawThickLine(random.Below(1000), 22 + random.Below(800),
                                              random.Below(1000), 22 + random.Below(800),
                                              random.Next() & 0xFFFFFF, 5);
        }
        HWND window = note->GetWindow();
        int width = note->GetPicture()->GetWidth();
        int height = note->GetPicture()->GetHeight();

        {
            // The first press makes the undo copy.
            Row row{"first press on a fresh 1000 × 800 note (undo copy made)"};
            g_settings.Tool.DrawMode = DRAW_TEXT;
            Paper* fresh = nullptr;
            row.ours = MeasureOurs(
                [&] {
                    SendMessageA(fresh->GetWindow(), WM_LBUTTONDOWN, MK_LBUTTON,
                                 MAKELPARAM(500, 400));
                },
                5, [&] { fresh = NewNote(1, 1000, 800); },
                [&] {
                    SendMessageA(fresh->GetWindow(), WM_LBUTTONUP, 0, MAKELPARAM(500, 400));
                    ReleaseCapture();
                    DeleteNote(1);
                });
            BareNote surface;
            HDC pictureDC = note->GetPicture()->GetDeviceContext();
            row.limit = Measure(
                [&] {
                    HDC screenDC = GetDC(nullptr);
                    surface.bitmaps[0] = CreateCompatibleBitmap(screenDC, width, height);
                    surface.dcs[0] = CreateCompatibleDC(screenDC);
                    ReleaseDC(nullptr, screenDC);
                    surface.previous[0] = SelectObject(surface.dcs[0], surface.bitmaps[0]);
                    BitBlt(surface.dcs[0], 0, 0, width, height, pictureDC, 0, 0, SRCCOPY);
                },
                5, 5, 0, {}, [&] { FreeBareNote(surface); });
            row.limitWhat = "a surface + one BitBlt";
            row.target = "<= 5 (later presses)";
            PrintRow(row);
        }

        // Every later press refreshes the undo copy made by the first.
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(500, 400));
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(500, 400));
        ReleaseCapture();
        HDC pictureDC = note->GetPicture()->GetDeviceContext();
        HDC undoDC = note->GetUndoCanvas()->GetDeviceContext();

        {
            Row row{"press on a 1000 × 800 note (undo copy)"};
            g_settings.Tool.DrawMode = DRAW_TEXT;
            row.ours = MeasureOurs(
                [&] { SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(500, 400)); }, 9,
                {},
                [&] {
                    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(500, 400));
                    ReleaseCapture();
                });
            row.limit = Measure(
                [&] { BitBlt(undoDC, 0, 0, width, height, pictureDC, 0, 0, SRCCOPY); }, 9, 9, 0);
            row.limitWhat = "one BitBlt";
            row.target = "<= 5";
            PrintRow(row);
        }

        {
            Row row{"Paper::Undo on a 1000 × 800 note"};
            row.ours = MeasureOurs([&] { note->Undo(); }, 9, {}, [&] { DrainMessages(); });
            row.limit = Measure(
                [&] {
                    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
                    HDC dc = CreateCompatibleDC(screen);
                    HGDIOBJ previous = SelectObject(dc, bitmap);
                    BitBlt(dc, 0, 0, width, height, pictureDC, 0, 0, SRCCOPY);
                    BitBlt(pictureDC, 0, 0, width, height, undoDC, 0, 0, SRCCOPY);
                    BitBlt(undoDC, 0, 0, width, height, dc, 0, 0, SRCCOPY);
                    SelectObject(dc, previous);
                    DeleteObject(bitmap);
                    DeleteDC(dc);
                },
                9, 9, 0);
            row.limitWhat = "a surface + three BitBlt";
            row.target = "<= 10";
            PrintRow(row);
        }

        {
            Row row{"box drag step with repaint, 1000 × 800 note (500 × 400 box)"};
            g_settings.Tool.DrawMode = DRAW_BOX;
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
            int step = 0;
            row.ours = MeasureOurs(
                [&] {
                    ++step;
                    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON,
                                 MAKELPARAM(600 + step % 7, 500 + step % 5));
                    UpdateWindow(window);
                },
                11);
            SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(600, 500));
            ReleaseCapture();
            g_settings.Tool.DrawMode = DRAW_TEXT;
            DrainMessages();
            const BITMAPINFO* info = note->GetOverlay()->GetBitmapInfo();
            const uint32_t* bits = note->GetOverlay()->GetConstRow(0);
            row.limit = Measure(
                [&] {
                    HDC dc = GetDC(window);
                    BitBlt(dc, 0, 0, width, height, pictureDC, 0, 0, SRCCOPY);
                    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, bits, info,
                                      DIB_RGB_COLORS);
                    ReleaseDC(window, dc);
                },
                11, 11, 0);
            row.limitWhat = "one BitBlt + one SetDIBitsToDevice to the window";
            row.target = "<= 16";
            PrintRow(row);
        }
        DeleteNote(0);
        DrainMessages();
    }

    {
        Row row{"resize of a 1000 × 800 note to 1200 × 900"};
        row.ours = MeasureOurs([&] { g_notes[0]->Resize(1200, 900); }, 5,
                               [&] {
                                   Paper* note = NewNote(0, 1000, 800);
                                   ShowWindow(note->GetWindow(), SW_SHOWNOACTIVATE);
                                   DrainMessages();
                               },
                               [&] {
                                   DrainMessages();
                                   DeleteNote(0);
                                   DrainMessages();
                               });
        row.limit = Measure(
            [&] {
                PaperGeometry geometry = ComputePaperGeometry(TAB, TAB, 1200, 900);
                BareNote surfaces;
                HDC screenDC = GetDC(nullptr);
                for (int i = 0; i < 2; ++i) {
                    surfaces.bitmaps[i] = CreateCompatibleBitmap(screenDC, geometry.windowWidth,
                                                                 geometry.windowHeight);
                    surfaces.dcs[i] = CreateCompatibleDC(screenDC);
                    surfaces.previous[i] = SelectObject(surfaces.dcs[i], surfaces.bitmaps[i]);
                    PatBlt(surfaces.dcs[i], 0, 0, geometry.windowWidth, geometry.windowHeight,
                           WHITENESS);
                }
                ReleaseDC(nullptr, screenDC);
                BitBlt(surfaces.dcs[0], 0, 0, 1002, 823, surfaces.dcs[1], 0, 0, SRCCOPY);
                BitBlt(surfaces.dcs[1], 0, 0, geometry.windowWidth, geometry.windowHeight,
                       surfaces.dcs[0], 0, 0, SRCCOPY);
                FreeBareNote(surfaces);
            },
            5, 5, 0);
        row.limitWhat = "2 surfaces with one PatBlt each + two BitBlt";
        PrintRow(row);
    }

    // 255 stored notes of 200 × 200, restored and shown as at start, then
    // saved as at exit; the bare windows are the floor.
    ScratchFolder folder("paper");
    if (!PrepareStoredNotes(folder.Path(), MAX_NOTES, 200, 200)) {
        PrintNote("could not prepare the stored notes");
    }
    Sample floor;
    {
        BareNote bare[MAX_NOTES];
        floor = Measure(
            [&] {
                for (BareNote& note : bare) MakeBareNote(note, 200, 200, 0);
                for (BareNote& note : bare) ShowWindow(note.window, SW_SHOWNORMAL);
                DrainMessages();
            },
            3, 3, 0, {},
            [&] {
                for (BareNote& note : bare) FreeBareNote(note);
                DrainMessages();
            });
        Row row{"bare-window floor: create, shape and show 255 tool windows 202 × 223"};
        row.ours = floor;
        row.limitWhat = "";
        PrintRow(row);
        PrintValue("bare_window_floor_ms", floor.medianMs, "ms");
    }

    {
        Row row{"restore of 255 stored 200 × 200 notes (create, load, show, paint)"};
        row.ours = Measure([&] { RestoreNotes(folder.Path(), MAX_NOTES); }, 1, 3, 8000, {},
                           [&] { DeleteAllNotes(); });
        row.limit = floor;
        row.limitWhat = "the bare-window floor";
        row.target = "total <= 1.3 × floor; beyond the windows <= 1000";
        PrintRow(row);
        PrintValue("restore_beyond_windows_ms", row.ours.medianMs - floor.medianMs, "ms");
    }

    {
        Row row{"saving 255 notes of 200 × 200 at exit"};
        RestoreNotes(folder.Path(), MAX_NOTES);
        row.ours = MeasureOurs([&] { SaveNotes(folder.Path(), MAX_NOTES); }, 3);
        std::vector<uint8_t> bytes;
        std::string scratch = folder.Path() + "plain.bin";
        row.limit = Measure(
            [&] {
                for (int number = 0; number < MAX_NOTES; ++number) {
                    Paper* note = g_notes[number];
                    if (!note || !note->GetPicture()) continue;
                    PlainSaveBmp(screen, note->GetPicture()->GetDeviceContext(), 1, 22, 200, 200,
                                 bytes, scratch);
                }
            },
            3, 3, 0);
        row.limitWhat = "255 × (BitBlt + GetDIBits + one file write)";
        row.target = "<= 1000";
        PrintRow(row);
        DeleteAllNotes();
    }

    ReleaseDC(nullptr, screen);
    DestroyWindow(g_mainWindow);
}

void RunMemoryBenchmark() {
    SetUpMainWindow();
    ScratchFolder folder("memory");
    bool prepared = PrepareStoredNotes(folder.Path(), MAX_NOTES, 200, 200);
    DrainMessages();
    PROCESS_MEMORY_COUNTERS before{};
    before.cb = sizeof before;
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    RestoreNotes(folder.Path(), MAX_NOTES);
    PROCESS_MEMORY_COUNTERS after{};
    after.cb = sizeof after;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    double pixels = 0;
    int open = 0;
    for (Paper* note : g_notes) {
        if (!note || !note->GetPicture()) continue;
        ++open;
        // The canvases each note holds (the undo copy comes with the first
        // press, the overlay with the first preview).
        const double canvases =
            1.0 + (note->GetUndoCanvas() ? 1.0 : 0.0) + (note->GetOverlay() ? 1.0 : 0.0);
        pixels += canvases * note->GetPicture()->GetWidth() * note->GetPicture()->GetHeight() * 4.0;
    }
    if (!prepared) PrintNote("could not prepare the stored notes");
    const double mib = 1024.0 * 1024.0;
    PrintValue("memory_notes_open", open, "notes");
    PrintValue("memory_before_working_set", before.WorkingSetSize / mib, "MiB");
    PrintValue("memory_before_pagefile", before.PagefileUsage / mib, "MiB");
    PrintValue("memory_peak_working_set", after.PeakWorkingSetSize / mib, "MiB");
    PrintValue("memory_peak_pagefile", after.PeakPagefileUsage / mib, "MiB");
    PrintValue("memory_working_set", after.WorkingSetSize / mib, "MiB");
    PrintValue("memory_pagefile", after.PagefileUsage / mib, "MiB");
    PrintValue("memory_canvas_pixels", pixels / mib, "MiB");
    DeleteAllNotes();
    DestroyWindow(g_mainWindow);
}

void RunWindowMemoryBenchmark() {
    RegisterBareClass();
    DrainMessages();
    PROCESS_MEMORY_COUNTERS before{};
    before.cb = sizeof before;
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    static BareNote bare[MAX_NOTES];
    for (BareNote& note : bare) MakeBareNote(note, 200, 200, 0);
    for (BareNote& note : bare) ShowWindow(note.window, SW_SHOWNORMAL);
    DrainMessages();
    PROCESS_MEMORY_COUNTERS after{};
    after.cb = sizeof after;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    const double mib = 1024.0 * 1024.0;
    PrintValue("windows_before_working_set", before.WorkingSetSize / mib, "MiB");
    PrintValue("windows_peak_working_set", after.PeakWorkingSetSize / mib, "MiB");
    PrintValue("windows_peak_pagefile", after.PeakPagefileUsage / mib, "MiB");
    for (BareNote& note : bare) FreeBareNote(note);
    DrainMessages();
}

int RunPrepare(const std::string& folder, int count) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    CreateDirectoryA(path.c_str(), nullptr);
    return PrepareStoredNotes(path, count, 200, 200) ? 0 : 1;
}

}  // namespace bench
