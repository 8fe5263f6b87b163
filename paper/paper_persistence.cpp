// A note's data files, notes made from files, and dropped files.
#include "paper/paper.h"

#include "canvas/bmp_file.h"
#include "canvas/bmp_format.h"
#include "paper/paper_record.h"
#include "resources/texts.h"
#include "settings/ini_values.h"
#include "settings/settings.h"

#include <memory>

namespace {

// Reads up to `size` bytes from the start of a file; the count read, or -1.
long ReadFileStart(const char* path, void* bytes, DWORD size) {
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return -1;
    DWORD read = 0;
    return ReadFile(file.Get(), bytes, size, &read, nullptr) ? static_cast<long>(read) : -1;
}

// Whether two paths name the same file, as far as their full forms tell.
bool SamePath(const std::string& first, const std::string& second) {
    char firstFull[MAX_PATH];
    char secondFull[MAX_PATH];
    DWORD firstLength = GetFullPathNameA(first.c_str(), MAX_PATH, firstFull, nullptr);
    DWORD secondLength = GetFullPathNameA(second.c_str(), MAX_PATH, secondFull, nullptr);
    if (firstLength == 0 || firstLength >= MAX_PATH || secondLength == 0 ||
        secondLength >= MAX_PATH) {
        return lstrcmpiA(first.c_str(), second.c_str()) == 0;
    }
    return lstrcmpiA(firstFull, secondFull) == 0;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates a folder and every missing level above it; true when it exists
// afterwards.
bool CreateFolderPath(const std::string& folder) {
    if (folder.empty()) return true;  // the current folder
    if (folder.size() >= MAX_PATH) return false;
    // Nearly always there already: one look instead of a refused creation
    // per level for each note saved.
    if (IsFolder(folder)) return true;
    // Every level, from the top down; levels that exist (or are a drive or a
    // share) refuse quietly, and only the end result counts.
    ForEachCharacterStart(folder, [&folder](size_t index) {
        if ((folder[index] == '\\' || folder[index] == '/') && index > 0) {
            CreateDirectoryA(folder.substr(0, index).c_str(), nullptr);
        }
    });
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string withoutSeparator = folder;
    const char last = withoutSeparator.back();
    if ((last == '\\' || last == '/') && withoutSeparator.size() > 1) withoutSeparator.pop_back();
    return IsFolder(withoutSeparator) || IsFolder(folder);
}

}  // namespace

std::string CurrentPaperDataFolder() {
    return DataFolderFor(g_settings.DataFolderPath, FirstCommandLineArgument(GetCommandLineA()));
}

bool Paper::WriteDrawingArea(const std::string& path, const std::string& temporary) const {
    if (!picture || path.empty()) return false;
    // A cut-out too large to be made (a note of enormous size) is a failure,
    // not a crash.
    std::unique_ptr<Canvas> cutOut(
        picture->CopyRect(drawArea.left, drawArea.top, bodyWidth, bodyHeight));
    if (!cutOut) return false;
    return WriteReplacing(
        path, [&](const char* through) { return cutOut->SaveBmp(through); }, temporary);
}

bool Paper::Save() {
    return Save(CurrentPaperDataFolder().c_str());
}

bool Paper::Save(const char* dataFolder) {
    if (!picture) return true;  // nothing to save: during or after teardown
    if (number < 0) return false;
    const std::string folder = dataFolder ? dataFolder : "";
    // A fresh install has no data folder yet.
    if (!CreateFolderPath(folder)) return false;

    // Each file goes through a name of the program's own beside it (N.da~,
    // N.bm~), written over by each save: a fixed name costs no search for a
    // free one, and a copy left by a crash is no one else's file.
    const std::string dataPath = DataFilePath(folder, number, "dat");
    const PaperRecordBytes record = EncodePaperRecord(MakePaperRecord(x, y, number, locked));
    const bool recordWritten = WriteReplacing(
        dataPath,
        [&](const char* through) {
            return WriteWholeFile(through, record.data(), static_cast<uint32_t>(record.size()));
        },
        TemporaryNameFor(dataPath));
    if (!recordWritten) return false;

    const std::string imagePath = DataFilePath(folder, number, "bmp");
    if (!WriteDrawingArea(imagePath, TemporaryNameFor(imagePath))) {
        if (sourceDataPath.empty()) sourceDataPath = dataPath;
        return false;
    }
    // Saved into another folder than the one the note came from: the old pair
    // goes, so the note does not come back twice.
    if (!sourceDataPath.empty() && !SamePath(sourceDataPath, dataPath)) {
        DeleteFileA(sourceDataPath.c_str());
        DeleteFileA(ReplaceExtension(sourceDataPath, "bmp").c_str());
    }
    sourceDataPath = dataPath;
    dirty = false;
    return true;
}

bool Paper::CreateFromFile(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                           const char* path, int number) {
    ActiveCall call(*this);
    if (!path) return false;
    // Both fail only before the note is made or when making it fails, which
    // leaves nothing behind.
    if (HasDatExtension(path)) {
        return RestoreFromRecord(mainWindow, windowProc, tabWidth, tabHeight, path, number);
    }
    if (HasBmpExtension(path)) {
        return CreateFromBmp(mainWindow, windowProc, tabWidth, tabHeight, path, number);
    }
    return false;
}

bool Paper::RestoreFromRecord(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                              const char* path, int number) {
    uint8_t bytes[PAPER_RECORD_SIZE];
    const long count = ReadFileStart(path, bytes, sizeof bytes);
    PaperRecord record;
    if (count < 0 || !DecodePaperRecord(bytes, static_cast<size_t>(count), &record)) return false;
    if (record.number != static_cast<uint16_t>(number)) return false;

    // The file's rows go straight into the picture, and the window is made
    // where it was stored: no canvas of its own for the image and no move of
    // the window for each of up to 255 notes restored at start.
    FileImage file;
    Dib24Image image;
    if (!ReadWholeFile(ReplaceExtension(path, "bmp").c_str(), &file) ||
        !ParseBmpFileImage(file.Data(), file.Size(), &image)) {
        return false;
    }
    const POINT stored{record.x, record.y};
    if (!Create(mainWindow, windowProc, tabWidth, tabHeight, image.width, image.height, number,
                &stored)) {
        return false;
    }
    picture->PutDib24(drawArea.left, drawArea.top, image.width, image.height, image.rows);
    // As stored, unless it has to be moved into view.
    dirty = false;
    KeepOnAMonitor();
    ReadPosition();
    locked = record.locked != 0 ? 1 : 0;
    ApplyLockMenuStates();
    // Peeling this note off must remove the file it came back from.
    sourceDataPath = path;
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void Paper::KeepOnAMonitor() {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    // A note that touches any monitor stays where it was stored.
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return;
    HMONITOR nearest = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!nearest || !GetMonitorInfoA(nearest, &info)) return;
    const POINT inside = PlaceInsideArea(rect, info.rcWork);
    // The move is a change (OnMove): the record on disk still holds the place
    // off every monitor.
    SetWindowPos(window, nullptr, inside.x, inside.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool Paper::CreateFromBmp(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                          const char* path, int number) {
    DdbCanvas image(1, 1);
    if (!image.LoadBmp(path)) return false;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // One question at most: the width first, the height only if the width passed.
    if (ExceedsScreenLimit(image.GetWidth(), screenWidth) ||
        ExceedsScreenLimit(image.GetHeight(), screenHeight)) {
        if (MessageBoxA(mainWindow, TEXT_TOO_LARGE_QUESTION, TEXT_CAPTION,
                        MB_YESNO | MB_ICONWARNING) != IDYES) {
            return false;
        }
    }
    if (!Create(mainWindow, windowProc, tabWidth, tabHeight, image.GetWidth(), image.GetHeight(),
                number)) {
        return false;
    }
    // Undo then changes nothing: there is no undo copy until the first press.
    image.DrawTo(static_cast<GdiSurface*>(picture.get()), drawArea.left, drawArea.top);
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

bool Paper::OnDropFiles(HDROP drop) {
    char path[MAX_PATH + 1] = "";
    DragQueryFileA(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    if (!HasBmpExtension(path)) return true;

    DdbCanvas image(1, 1);
    if (!image.LoadBmp(path)) {
        MessageBoxA(window, TEXT_DROP_READ_FAILED, TEXT_CAPTION, MB_OK);
        return false;
    }
    std::unique_ptr<DdbCanvas> shown = MakePicture(image.GetWidth(), image.GetHeight());
    if (!shown) return false;
    // The drawing area starts at the same place at every size.
    image.DrawTo(static_cast<GdiSurface*>(shown.get()), drawArea.left, drawArea.top);
    // A missing region record or a refused region stops the drop.
    return ChangeBody(image.GetWidth(), image.GetHeight(), std::move(shown), false);
}
