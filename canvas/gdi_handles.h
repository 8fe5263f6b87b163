// Single owners for GDI objects and device contexts, and a guard that selects
// an object into a device context and puts the previous one back.
#pragma once

#include <windows.h>

#include <utility>

namespace gdi_handles {

// The common part of every holder: one handle, moved but never copied, given
// back by Traits::Free when the holder goes away or takes another handle.
template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) { Reset(handle); }
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle = other.handle;
            other.handle = nullptr;
        }
        return *this;
    }

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

    // Gives up ownership without freeing.
    Handle Release() {
        Handle released = handle;
        handle = nullptr;
        return released;
    }

    // Frees the current handle, then owns the new one (which may be null).
    void Reset(Handle newHandle = nullptr) {
        if (handle != nullptr) Traits::Free(handle);
        handle = newHandle;
    }

    void Swap(UniqueHandle& other) noexcept { std::swap(handle, other.handle); }

private:
    Handle handle = nullptr;
};

struct DeleteObjectTraits {
    static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct DeleteDCTraits {
    static void Free(HDC dc) { DeleteDC(dc); }
};

using BitmapHandle = UniqueHandle<HBITMAP, DeleteObjectTraits>;
using PenHandle = UniqueHandle<HPEN, DeleteObjectTraits>;
using BrushHandle = UniqueHandle<HBRUSH, DeleteObjectTraits>;
using RegionHandle = UniqueHandle<HRGN, DeleteObjectTraits>;
// A device context made by CreateCompatibleDC (or CreateDC): freed by DeleteDC.
using MemoryDCHandle = UniqueHandle<HDC, DeleteDCTraits>;

// The device context of a window (or of the screen for no window), borrowed
// with GetDC and given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window = nullptr) : window(window), dc(GetDC(window)) {}
    ~WindowDC() { Reset(); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

    // Gives the context back early.
    void Reset() {
        if (dc != nullptr) {
            ReleaseDC(window, dc);
            dc = nullptr;
        }
    }

private:
    HWND window;
    HDC dc;
};

// Selects an object into a device context for the guard's lifetime. A null
// object (one that could not be made) selects nothing, so the device context
// goes on drawing with what it has.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : dc(dc) {
        if (dc != nullptr && object != nullptr) {
            previous = SelectObject(dc, object);
            if (previous == HGDI_ERROR) previous = nullptr;
        }
    }
    ~SelectObjectGuard() {
        if (previous != nullptr) SelectObject(dc, previous);
    }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC dc;
    HGDIOBJ previous = nullptr;
};

}  // namespace gdi_handles
