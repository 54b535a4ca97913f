#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Colors.h"

namespace plat::win32 {

// Owns a kernel handle (events, processes, threads, files).
struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
        }
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Owns a loaded library.
struct LibraryFreer {
    void operator()(HMODULE m) const {
        if (m != nullptr) {
            ::FreeLibrary(m);
        }
    }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// A window's device context from GetDC (0: the screen), released on destruction.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() { ::ReleaseDC(window_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another one.
class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(::CreateCompatibleDC(like)) {}
    ~MemoryDC() { ::DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Owns a GDI object (bitmap, brush, font, region).
struct GdiDeleter {
    void operator()(HGDIOBJ object) const {
        if (object != nullptr) {
            ::DeleteObject(object);
        }
    }
};
template <typename T>
using GdiObject = std::unique_ptr<std::remove_pointer_t<T>, GdiDeleter>;

// Selects an object into a device context for the guard's lifetime.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectGuard() { ::SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// One WM_PAINT's device context, from BeginPaint to EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDC() { ::EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    const RECT& Rect() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Owns a window of ours: destroyed with its owner.
struct WindowDestroyer {
    void operator()(HWND window) const {
        if (window != nullptr) {
            ::DestroyWindow(window);
        }
    }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A top-down 32-bit DIB section of the given size, with its pixels.
struct Dib {
    GdiObject<HBITMAP> bitmap;
    std::uint32_t* bits = nullptr;
};

inline Dib CreateDib(HDC like, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Dib dib;
    dib.bitmap.reset(::CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    dib.bits = static_cast<std::uint32_t*>(bits);
    return dib;
}

// Registers a window class of a module (the program's own by default) with the arrow pointer;
// later calls for the same name do nothing.
inline void RegisterWindowClass(const char* name, WNDPROC proc, HINSTANCE module = ::GetModuleHandleA(nullptr)) {
    WNDCLASSA existing{};
    if (::GetClassInfoA(module, name, &existing)) {
        return;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    ::RegisterClassA(&wc);
}

// TColor: 0x00BBGGRR, or a system colour index with the top bit set.
inline COLORREF ToColorRef(std::int32_t color) {
    return static_cast<COLORREF>(ResolveColor(static_cast<gfx::TColor>(color)) & 0x00FFFFFFu);
}

// The object a window of ours belongs to: its creation parameter, kept in the window's user data
// from WM_NCCREATE on; null before that and after the object let go of it.
template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// A text of the system's code page as UTF-16, and back.
inline std::wstring Widen(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

inline std::string Narrow(const std::wstring& wide) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string text(static_cast<std::size_t>(std::max(n, 0)), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

// An exported function of a library as a typed pointer.
template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace plat::win32

namespace plat::win32 {

// Owns an icon or cursor from LoadImage or CreateIcon.
struct IconDestroyer {
    void operator()(HICON icon) const {
        if (icon != nullptr) {
            ::DestroyIcon(icon);
        }
    }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

// Owns an enhanced metafile.
struct EnhMetaFileDeleter {
    void operator()(HENHMETAFILE metafile) const {
        if (metafile != nullptr) {
            ::DeleteEnhMetaFile(metafile);
        }
    }
};
using EnhMetaFile = std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, EnhMetaFileDeleter>;

}  // namespace plat::win32
