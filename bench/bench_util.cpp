#include "bench/bench_util.h"

#include <algorithm>
#include <cstdio>

#include "canvas/bmp_file.h"
#include "canvas/dib_canvas.h"
#include "paper/paper_record.h"

namespace bench {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

Sample Measure(const std::function<void()>& body, int minRuns, int maxRuns, double budgetMs,
               const std::function<void()>& setup, const std::function<void()>& teardown) {
    std::vector<double> times;
    double spent = 0.0;
    while (static_cast<int>(times.size()) < maxRuns &&
           (static_cast<int>(times.size()) < minRuns || spent < budgetMs)) {
        if (setup) setup();
        double start = NowMs();
        body();
        double elapsed = NowMs() - start;
        if (teardown) teardown();
        times.push_back(elapsed);
        spent += elapsed;
    }
    return SampleOf(std::move(times));
}

Sample SampleOf(std::vector<double> times) {
    Sample sample;
    sample.runs = static_cast<int>(times.size());
    if (times.empty()) return sample;
    std::sort(times.begin(), times.end());
    size_t middle = times.size() / 2;
    sample.medianMs = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2.0;
    return sample;
}

namespace {

void PrintSample(const Sample& sample) {
    if (sample.medianMs < 0) {
        std::printf("\t-\t0");
    } else {
        std::printf("\t%.3f\t%d", sample.medianMs, sample.runs);
    }
}

}  // namespace

void PrintRow(const Row& row) {
    std::printf("ROW\t%s", row.operation.c_str());
    PrintSample(row.literal);
    PrintSample(row.ours);
    PrintSample(row.limit);
    std::printf("\t%s\t%s\t%s\n", row.limitWhat.c_str(), row.target.c_str(), row.note.c_str());
    std::fflush(stdout);
}

void PrintValue(const char* key, double value, const char* unit) {
    std::printf("VALUE\t%s\t%.3f\t%s\n", key, value, unit);
    std::fflush(stdout);
}

void PrintNote(const std::string& text) {
    std::printf("NOTE\t%s\n", text.c_str());
    std::fflush(stdout);
}

ScratchFolder::ScratchFolder(const char* name) {
    char temporary[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temporary, temporary);
    if (length == 0 || length >= sizeof temporary)
        std::snprintf(temporary, sizeof temporary, ".\\");
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%sinkslip-bench-%s-%lu\\", temporary, name,
                  static_cast<unsigned long>(GetCurrentProcessId()));
    path = folder;
    CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((path + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool PrepareStoredNotes(const std::string& folder, int count, int width, int height) {
    Random random(7);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (int number = 0; number < count; ++number) {
        // A drawing area of background colour with a few strokes on it.
        DibCanvas image(width, height);
        image.FillBox(0, 0, width, height, 0xFFFFFF);
        for (int stroke = 0; stroke < 6; ++stroke) {
            Rgb colour = random.Next() & 0xFFFFFF;
            image.DrawThickLine(random.Below(width), random.Below(height), random.Below(width),
                                random.Below(height), colour, static_cast<uint16_t>(1 + stroke));
        }
        std::string bmp = DataFilePath(folder, number, "bmp");
        if (!image.SaveBmp(bmp.c_str())) return false;
        int x = (number * 37) % std::max(1, screenWidth - width - 2);
        int y = (number * 23) % std::max(1, screenHeight - height - 23);
        PaperRecordBytes bytes = EncodePaperRecord(MakePaperRecord(x, y, number, 0));
        std::string dat = DataFilePath(folder, number, "dat");
        if (!WriteWholeFile(dat.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()))) {
            return false;
        }
    }
    return true;
}

void PlainSaveBmp(HDC screen, HDC source, int left, int top, int width, int height,
                  std::vector<uint8_t>& bytes, const std::string& path) {
    const size_t header = 54;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    bytes.resize(header + stride * static_cast<size_t>(height));
    HBITMAP plain = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, plain);
    BitBlt(dc, 0, 0, width, height, source, left, top, SRCCOPY);
    SelectObject(dc, previous);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(screen, plain, 0, static_cast<UINT>(height), bytes.data() + header, &info,
              DIB_RGB_COLORS);
    DeleteObject(plain);
    DeleteDC(dc);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void DrainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND CreateBenchWindow(const char* className, WNDPROC procedure, int width, int height,
                       bool visible) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure ? procedure : DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, className, nullptr, WS_POPUP, 0, 0, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (window && visible) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }
    return window;
}

void MeasureBothWays(Row& row, const std::function<void()>& literal,
                     const std::function<void()>& ours, int literalMaxRuns, double literalBudget,
                     int oursRuns) {
    row.literal = Measure(literal, 1, literalMaxRuns, literalBudget, {}, {});
    row.ours = MeasureOurs(ours, oursRuns);
}

Sample MeasureOurs(const std::function<void()>& body, int runs, const std::function<void()>& setup,
                   const std::function<void()>& teardown) {
    return Measure(body, 3, runs, 3000.0, setup, teardown);
}

}  // namespace bench
