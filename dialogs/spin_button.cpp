#include "dialogs/spin_button.h"

#include "framework/app_base.h"
#include "framework/colours.h"
#include "framework/gdi.h"

#include <string>

namespace {

using fw::kBlack;
using fw::kGrey;
using fw::kLightGrey;
using fw::kWhite;
using fw::PointFromLParam;

HPEN ThinPen(COLORREF colour)
{
    return CreatePen(PS_SOLID, 0, colour);
}

}  // namespace

CSpinButton::~CSpinButton()
{
    if (m_pLoopAlive)
        *m_pLoopAlive = false;
    DestroyWindow();
}

void CSpinButton::CreateSpin(const SpinButtonInit& init)
{
    m_pParent = init.pParent;
    m_nID = init.nID;
    m_nBuddyID = init.nBuddyID;
    m_nMax = init.nMax;
    m_nMin = init.nMin;
    m_nStep = init.nStep;
    m_bWrap = init.bWrap;
    m_nDirection = init.nDirection;

    // A second creation replaces the first window rather than leaving it attached to us.
    DestroyWindow();
    // No CS_DBLCLKS: the second click of a double click arrives as a plain press.
    const std::string className = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    if (className.empty() || !m_pParent || !m_pParent->m_hWnd)
        return;
    CreateEx(0, className, "", WS_CHILD | WS_VISIBLE, init.rc, m_pParent->m_hWnd,
             reinterpret_cast<HMENU>(static_cast<INT_PTR>(init.nID)));
}

LRESULT CSpinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_CANCELMODE:
        if (m_bTracking)
            OnCaptureLost();
        return Default();  // releases the capture
    case WM_CAPTURECHANGED:
        if (m_bTracking && reinterpret_cast<HWND>(lParam) != m_hWnd)
            OnCaptureLost();
        return 0;
    default:
        return Default();
    }
}

void CSpinButton::OnPaint()
{
    fw::PaintDC dc(m_hWnd);
    Draw(dc.get());
}

void CSpinButton::OnLButtonDown(UINT, POINT)
{
    // A press that the running loop dispatched to us belongs to that loop.
    if (m_bTracking)
        return;
    SetCapture(m_hWnd);
    m_bTracking = 1;
    m_bPressed = 1;
    m_bCaptureLost = false;
    Draw();
    StepBuddy();
    TrackPress();
}

void CSpinButton::TrackPress()
{
    bool alive = true;
    m_pLoopAlive = &alive;
    uint32_t delay = SPIN_DELAY_FIRST;
    DWORD start = GetTickCount();
    for (;;) {
        if (m_bCaptureLost || !m_hWnd || GetCapture() != m_hWnd)
            break;
        MSG msg;
        const bool got = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
        if (got) {
            if (msg.message == WM_QUIT) {
                fw::Application::RepostQuit(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (!alive)
                return;  // the object is gone: touch nothing of it
            // Any release ends the press, whichever window it went to.
            if (msg.message == WM_LBUTTONUP)
                break;
            if (m_bCaptureLost || !m_hWnd)
                break;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed > delay) {
            // Outside the button the repeat pauses, but its clock keeps running.
            if (m_bPressed)
                StepBuddy();
            delay = SPIN_DELAY_REPEAT;
            start = GetTickCount();
            continue;
        }
        // Sleep until input arrives or the next step is due, instead of spinning.
        if (!got)
            MsgWaitForMultipleObjectsEx(0, nullptr, delay - elapsed + 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    m_pLoopAlive = nullptr;
    m_bTracking = 0;
    if (m_hWnd && GetCapture() == m_hWnd)
        ReleaseCapture();
    // A loop ended by anything but our own release still leaves the button raised.
    if (m_bPressed) {
        m_bPressed = 0;
        Draw();
    }
}

void CSpinButton::OnMouseMove(UINT, POINT point)
{
    if (!m_bTracking)
        return;
    RECT rc = {};
    GetClientRect(m_hWnd, &rc);
    const int16_t pressed = PtInRect(&rc, point) ? 1 : 0;
    if (pressed != m_bPressed) {
        m_bPressed = pressed;
        Draw();
    }
}

void CSpinButton::OnLButtonUp(UINT, POINT)
{
    m_bPressed = 0;
    Draw();
}

void CSpinButton::OnLButtonDblClk(UINT nFlags, POINT point)
{
    OnLButtonDown(nFlags, point);
}

void CSpinButton::OnCaptureLost()
{
    m_bCaptureLost = true;
    if (m_bPressed) {
        m_bPressed = 0;
        Draw();
    }
}

void CSpinButton::StepBuddy()
{
    if (!m_pParent || !m_pParent->m_hWnd)
        return;
    HWND parent = m_pParent->m_hWnd;
    // Empty or unreadable text reads as 0, which is what GetDlgItemInt returns then.
    const int value = static_cast<int>(GetDlgItemInt(parent, m_nBuddyID, nullptr, TRUE));
    const int next = SpinStep(value, m_nStep, m_nMin, m_nMax, m_bWrap != 0);
    SetDlgItemInt(parent, m_nBuddyID, static_cast<UINT>(next), TRUE);
}

int CSpinButton::Draw(HDC hdc)
{
    if (!m_hWnd)
        return 1;
    if (!hdc) {
        fw::WindowDC own(m_hWnd);
        if (!own)
            return 1;
        return Draw(own.get());
    }
    DrawFace(hdc);
    fw::Pen pen(ThinPen(kBlack));
    fw::Brush brush(CreateSolidBrush(kBlack));
    fw::SelectGuard selectPen(hdc, pen.get());
    fw::SelectGuard selectBrush(hdc, brush.get());
    POINT points[4];
    if (GetArrowPoints(points) != 0)
        return 1;
    Polygon(hdc, points, 4);
    return 0;
}

int CSpinButton::DrawFace(HDC hdc)
{
    RECT rc = {};
    GetClientRect(m_hWnd, &rc);
    const int W = static_cast<int>(rc.right);
    const int H = static_cast<int>(rc.bottom);

    fw::Pen black(ThinPen(kBlack));
    fw::Pen white(ThinPen(kWhite));
    fw::Pen grey(ThinPen(kGrey));
    fw::Brush face(CreateSolidBrush(kLightGrey));
    fw::SelectGuard selectPen(hdc, black.get());
    {
        fw::SelectGuard selectBrush(hdc, face.get());
        Rectangle(hdc, 0, 0, W, H);
    }
    // Just inside the frame. Polyline leaves out the last pixel of every segment.
    const int l = 1, t = 1, r = W - 2, b = H - 2;
    if (!m_bPressed) {
        {
            fw::SelectGuard highlight(hdc, white.get());
            const POINT lit[] = {{l, b - 1}, {l, t}, {r - 1, t}, {r - 2, t + 1}, {l + 1, t + 1}, {l + 1, b - 1}};
            Polyline(hdc, lit, 6);
        }
        fw::SelectGuard shadow(hdc, grey.get());
        const POINT dark[] = {{r, t}, {r, b}, {l, b}, {l + 1, b - 1}, {r - 1, b - 1}, {r - 1, t}};
        Polyline(hdc, dark, 6);
    } else {
        fw::SelectGuard shadow(hdc, grey.get());
        const POINT dark[] = {{l, b}, {l, t}, {r, t}, {r, t + 1}, {l + 1, t + 1}, {l + 1, b + 1}};
        Polyline(hdc, dark, 6);
    }
    return 0;
}

int CSpinButton::GetArrowPoints(POINT* points)
{
    if (!points)
        return 1;
    RECT rc = {};
    GetClientRect(m_hWnd, &rc);
    SpinPoint arrow[4];
    if (!SpinArrowPoints(m_nDirection, static_cast<int>(rc.right), static_cast<int>(rc.bottom), m_bPressed != 0, arrow))
        return 1;
    for (int i = 0; i < 4; ++i)
        points[i] = POINT{arrow[i].x, arrow[i].y};
    return 0;
}
