#include "framework/window.h"

#include "framework/app_base.h"

#include <cstdint>

namespace fw {

Window::~Window()
{
    // An object deleted while its window lives must not be reached by later messages.
    if (m_hWnd && IsWindow(m_hWnd) && FromHandle(m_hWnd) == this)
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
}

BOOL Window::CreateEx(DWORD dwExStyle, const std::string& className, const std::string& title, DWORD dwStyle,
                      const RECT& rc, HWND hWndParent, HMENU hMenu)
{
    Application* app = Application::Current();
    HINSTANCE instance = app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
    m_bCreating = true;
    HWND hWnd = CreateWindowExA(dwExStyle, className.c_str(), title.c_str(), dwStyle, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, hWndParent, hMenu, instance, this);
    m_bCreating = false;
    return hWnd != nullptr;
}

BOOL Window::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

std::string Window::RegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    Application* app = Application::Current();
    HINSTANCE instance = app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
    // One class per attribute set, named after its attributes, as the same set is asked for again.
    std::string name = "Qlb";
    for (uint64_t part : {reinterpret_cast<uintptr_t>(instance), static_cast<uintptr_t>(nClassStyle),
                          reinterpret_cast<uintptr_t>(hCursor), reinterpret_cast<uintptr_t>(hbrBackground),
                          reinterpret_cast<uintptr_t>(hIcon)}) {
        char hex[32];
        wsprintfA(hex, ":%lX%08lX", static_cast<unsigned long>(part >> 32), static_cast<unsigned long>(part & 0xFFFFFFFF));
        name += hex;
    }
    WNDCLASSA wc = {};
    if (GetClassInfoA(instance, name.c_str(), &wc))
        return name;
    wc.style = nClassStyle;
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name.c_str();
    if (!RegisterClassA(&wc))
        return std::string();
    return name;
}

Window* Window::FromHandle(HWND hWnd)
{
    return hWnd ? reinterpret_cast<Window*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA)) : nullptr;
}

LRESULT Window::WindowProc(UINT, WPARAM, LPARAM)
{
    return Default();
}

LRESULT Window::Default()
{
    return DefWindowProcA(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

BOOL Window::OnCommand(WPARAM wParam, LPARAM)
{
    // Menus and accelerators send code 0 or 1 in the high word; control notifications
    // are the window's own business.
    Application* app = Application::Current();
    if (!app || HIWORD(wParam) > 1)
        return FALSE;
    return app->OnCmdMsg(LOWORD(wParam));
}

void Window::Detach()
{
    if (m_hWnd)
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
    Application* app = Application::Current();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        // A quit the modal loop passed on already carries the run's exit code.
        app->PostQuit(0);
    }
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* wnd = nullptr;
    if (message == WM_NCCREATE) {
        wnd = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (wnd) {
            wnd->m_hWnd = hWnd;
            SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wnd));
        }
    } else {
        wnd = FromHandle(hWnd);
    }
    if (!wnd)
        return DefWindowProcA(hWnd, message, wParam, lParam);

    CurrentMessage saved = wnd->m_current;
    wnd->m_current = {message, wParam, lParam};
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's frames.
        result = DefWindowProcA(hWnd, message, wParam, lParam);
    }
    wnd->m_current = saved;
    if (message == WM_NCDESTROY) {
        wnd->Detach();
        if (!wnd->m_bCreating)
            wnd->PostNcDestroy();
    }
    return result;
}

void CentreOnDesktop(HWND hWnd)
{
    RECT window = {}, desktop = {}, area = {};
    if (!GetWindowRect(hWnd, &window) || !GetWindowRect(GetDesktopWindow(), &desktop))
        return;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        area = desktop;
    const int cx = window.right - window.left, cy = window.bottom - window.top;
    int x = (desktop.left + desktop.right) / 2 - cx / 2;
    int y = (desktop.top + desktop.bottom) / 2 - cy / 2;
    if (x + cx > area.right)
        x = area.right - cx;
    if (x < area.left)
        x = area.left;
    if (y + cy > area.bottom)
        y = area.bottom - cy;
    if (y < area.top)
        y = area.top;
    SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fw
