// Small owners for GDI: every object made for one drawing step is released when the
// step's scope ends, and every SelectObject is undone. Borrowed handles (stock
// objects, a DC passed in) stay plain handles.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <utility>

namespace fw {

// Owns one pen, brush, font, bitmap or region and deletes it.
template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : m_handle(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle release() { return std::exchange(m_handle, nullptr); }
    void reset(Handle handle = nullptr)
    {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;

// Selects an object into a DC and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_previous(object ? SelectObject(hdc, object) : nullptr) {}
    ~SelectGuard()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_hdc, m_previous);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_previous;
};

// A memory DC compatible with another DC (or the screen), deleted at scope end.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) : m_hdc(CreateCompatibleDC(reference)) {}
    ~MemoryDC()
    {
        if (m_hdc)
            DeleteDC(m_hdc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HDC m_hdc;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hWnd) : m_hWnd(hWnd), m_hdc(BeginPaint(hWnd, &m_ps)) {}
    ~PaintDC() { EndPaint(m_hWnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return m_hdc; }
    const PAINTSTRUCT& paint() const { return m_ps; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps = {};
    HDC m_hdc;
};

// GetDC (client area) or GetWindowDC (whole window), released at scope end.
class WindowDC {
public:
    enum Area { Client, Whole };
    explicit WindowDC(HWND hWnd, Area area = Client)
        : m_hWnd(hWnd), m_hdc(area == Whole ? GetWindowDC(hWnd) : GetDC(hWnd))
    {
    }
    ~WindowDC()
    {
        if (m_hdc)
            ReleaseDC(m_hWnd, m_hdc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HWND m_hWnd;
    HDC m_hdc;
};

// Text as GDI should be handed it. GDI reads an ANSI string in the system's code page,
// not in the one the program's manifest chooses (UTF-8), so the program's text goes to
// the wide calls instead. (A vector: the wide string class would bring its whole library.)
struct WideText {
    explicit WideText(const std::string& text) : units(text.size() + 1, L'\0')
    {
        const int length = text.empty() ? 0
                                        : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                              units.data(), static_cast<int>(units.size()));
        size = length > 0 ? length : 0;
    }
    const wchar_t* c_str() const { return units.data(); }
    std::vector<wchar_t> units;
    int size = 0;
};

}  // namespace fw
