// A note's data files, notes made from files, and dropped files.
#include "paper/paper.h"

#include "canvas/bmp_file.h"
#include "canvas/bmp_format.h"
#include "paper/paper_record.h"
#include "settings/ini_values.h"
#include "settings/settings.h"

#include <memory>
#include <new>

namespace {

// A path the platform can take whole; longer ones are refused, never cut.
bool FitsPathLimit(const std::string& path) {
    return !path.empty() && path.size() < MAX_PATH;
}

// Reads up to `size` bytes from the start of a file; the count read, or -1.
long ReadFileStart(const char* path, void* bytes, DWORD size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes, size, &read, nullptr);
    CloseHandle(file);
    return ok ? static_cast<long>(read) : -1;
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

// The name a data file is written through before it replaces the old one.
// N.dat and N.bmp are the program's own names in the data folder, so a fixed
// name beside them is no one else's file, and unlike a unique name it costs
// no extra file made and opened again: at exit that is half the time of
// saving 255 notes.
std::string DataWritePath(const std::string& path) { return path + ".tmp"; }

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string CurrentPaperDataFolder() {
    return DataFolderFor(g_settings.DataFolderPath, FirstCommandLineArgument(GetCommandLineA()));
}

bool CreateFolderPath(const std::string& folder) {
    if (folder.empty()) return true;  // the current folder
    if (folder.size() >= MAX_PATH) return false;
    // Nearly always there already: one look instead of a refused creation
    // per level for each of up to 255 notes saved at exit.
    if (IsFolder(folder)) return true;
    // Every level, from the top down; levels that exist (or are a drive or a
    // share) refuse quietly, and only the end result counts.
    for (size_t index = 0; index < folder.size(); ++index) {
        const char character = folder[index];
        if (IsDBCSLeadByte(static_cast<BYTE>(character)) && index + 1 < folder.size()) {
            ++index;
            continue;
        }
        if ((character == '\\' || character == '/') && index > 0) {
            CreateDirectoryA(folder.substr(0, index).c_str(), nullptr);
        }
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string withoutSeparator = folder;
    const char last = withoutSeparator.back();
    if ((last == '\\' || last == '/') && withoutSeparator.size() > 1) withoutSeparator.pop_back();
    return IsFolder(withoutSeparator) || IsFolder(folder);
}

std::string MakeTemporaryFileBeside(const std::string& path) {
    if (!FitsPathLimit(path)) return std::string();
    std::string folder = PathFolder(path);
    if (folder.empty()) folder = ".";
    char temporary[MAX_PATH];
    // Creates an empty file of a unique name, so no other writer takes it.
    if (GetTempFileNameA(folder.c_str(), "ink", 0, temporary) == 0) return std::string();
    return temporary;
}

bool MoveTemporaryFileOver(const std::string& temporary, const std::string& path) {
    if (MoveFileExA(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}

bool Paper::WriteDrawingArea(const char* path, const std::string& temporary) const {
    if (!picture || !path) return false;
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

    const std::string dataPath = DataFilePath(folder, number, "dat");
    const PaperRecordBytes record = EncodePaperRecord(MakePaperRecord(x, y, number, locked));
    const bool recordWritten = WriteReplacing(
        dataPath,
        [&](const char* through) {
            return WriteWholeFile(through, record.data(), static_cast<uint32_t>(record.size()));
        },
        DataWritePath(dataPath));
    if (!recordWritten) return false;

    const std::string imagePath = DataFilePath(folder, number, "bmp");
    const bool imageWritten = WriteDrawingArea(imagePath.c_str(), DataWritePath(imagePath));
    if (!imageWritten) {
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
    return true;
}

bool Paper::CreateFromFile(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                           const char* path, int number) {
    if (!path) return false;
    if (HasDatExtension(path)) {
        return RestoreFromRecord(mainWindow, windowProc, tabWidth, tabHeight, path, number);
    }
    if (HasBmpExtension(path)) {
        return CreateFromBmp(mainWindow, windowProc, tabWidth, tabHeight, path, number);
    }
    return false;
}

void Paper::ShowImage(Canvas& image) {
    if (picture) image.DrawTo(static_cast<GdiSurface*>(picture.get()), drawArea.left, drawArea.top);
    // Undo then changes nothing.
    undoCanvas.reset();
}

bool Paper::RestoreFromRecord(HWND mainWindow, WNDPROC windowProc, int tabWidth, int tabHeight,
                              const char* path, int number) {
    uint8_t bytes[PAPER_RECORD_SIZE];
    const long count = ReadFileStart(path, bytes, sizeof bytes);
    PaperRecord record;
    if (count < 0 || !DecodePaperRecord(bytes, static_cast<size_t>(count), &record)) return false;
    if (record.number != static_cast<uint16_t>(number)) return false;

    // The file's rows go straight into the picture, and the window is made
    // where it was stored: the same pixels and place as loading the picture
    // into a canvas of its own and moving the window, at half the cost, which
    // counts when 255 notes come back at start.
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
    // A picture that could not be had would come back blank and be saved
    // blank over the stored one at exit.
    if (!picture || picture->GetWidth() != image.width + 2) return false;
    picture->PutDib24(drawArea.left, drawArea.top, image.width, image.height, image.rows);

    KeepOnAMonitor();
    RECT rect;
    GetWindowRect(window, &rect);
    x = rect.left;
    y = rect.top;

    RestoreLockState(record.locked);
    // Peeling this note off must remove the file it came back from.
    sourceDataPath = path;
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void Paper::RestoreLockState(int32_t recordLocked) {
    locked = recordLocked != 0 ? 1 : 0;
    ApplyLockMenuStates();
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
        if (MessageBoxA(mainWindow, "サイズが画面に対して大きいかもしれません。\n続行しますか？",
                        "Inkslip", MB_YESNO | MB_ICONWARNING) == IDNO) {
            return false;
        }
    }
    if (!Create(mainWindow, windowProc, tabWidth, tabHeight, image.GetWidth(), image.GetHeight(),
                number)) {
        return false;
    }
    ShowImage(image);
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
        MessageBoxA(window, "ドロップファイルの読込みに失敗しました。", "Inkslip", MB_OK);
        return false;
    }
    bodyWidth = image.GetWidth();
    bodyHeight = image.GetHeight();
    const int width = bodyWidth + 2;
    const int height = tabHeight + bodyHeight + 3;

    RECT rect;
    GetWindowRect(window, &rect);
    x = rect.left;
    y = rect.top;
    MoveWindow(window, x, y, width, height, TRUE);
    if (!ReplaceRegion(false)) return false;

    const Rgb background = Background();
    picture.reset();
    picture.reset(new (std::nothrow) DdbCanvas(1, 1));
    if (picture) picture->Create(width, height, background);
    if (picture) image.DrawTo(static_cast<GdiSurface*>(picture.get()), drawArea.left, drawArea.top);
    ForgetUndoAndOverlay();

    InvalidateRect(window, nullptr, FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}
