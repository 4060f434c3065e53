// The window base: an object meets its HWND at WM_NCCREATE (lpCreateParams) and
// leaves it at WM_NCDESTROY; every message goes through one virtual WindowProc.
// Destroying the application's main window posts the quit message.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window with a class registered by RegisterWndClass.
    BOOL CreateEx(DWORD dwExStyle, const std::string& className, const std::string& title, DWORD dwStyle,
                  const RECT& rc, HWND hWndParent, HMENU hMenu);
    BOOL DestroyWindow();

    // Registers (once) a window class with these attributes that dispatches to Window
    // objects, and returns its name; empty when registration fails.
    static std::string RegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon);

    // The object attached to a window, or none.
    static Window* FromHandle(HWND hWnd);

    HWND m_hWnd = nullptr;

protected:
    // One switch per class; unhandled messages go to Default().
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled now.
    virtual LRESULT Default();
    // The framework's command routing: what the window does not handle goes to the
    // application. TRUE when someone handled it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Runs after the window is gone and the object detached; a self-owning window deletes itself here.
    virtual void PostNcDestroy() {}

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current = {};

    // Detaches the object from a window that is going away; posts the quit for the main window.
    void Detach();

private:
    // Set while CreateEx runs: a window that fails to be created never belonged to the
    // caller, so the object is detached but not handed to PostNcDestroy.
    bool m_bCreating = false;

    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The point packed into a message's lParam (or GetMessagePos): signed 16-bit x and y.
inline POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// Centres a top-level window on the desktop window as the framework does: the middle of
// the desktop less half the window's size, then kept inside the work area.
void CentreOnDesktop(HWND hWnd);

}  // namespace fw
