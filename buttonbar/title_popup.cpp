// The title popup and the button window's hit test that drives it: the popup follows the
// cursor from button to button, names the group over the title strip, and the strip is
// the window's drag handle.
#include "buttonbar/title_popup.h"

#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "buttonbar/title_placement.h"
#include "framework/colours.h"
#include "framework/gdi.h"
#include "resource.h"

#include <new>

CTitlePopup::CTitlePopup(CButtonBarWnd* pOwner) : fw::Dialog(IDD_TITLEPOPUP, pOwner), m_pOwner(pOwner)
{
    Create();
}

CTitlePopup::~CTitlePopup()
{
    if (m_pOwner && m_pOwner->m_pTitlePopup == this) {
        m_pOwner->m_pTitlePopup = nullptr;
        m_pOwner->m_nTitleItem = -1;
    }
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

SIZE CTitlePopup::Measure(int stripHeight) const
{
    SIZE text = {0, 0};
    fw::WindowDC dc(m_hWnd);
    const fw::WideText wide(m_strText);
    if (!dc || !GetTextExtentPoint32W(dc.get(), wide.c_str(), wide.size, &text)) {
        text.cy = stripHeight;
        text.cx = static_cast<LONG>(static_cast<long long>(stripHeight) * static_cast<long long>(wide.size) / 2);
    }
    const IntSize size = TitlePopupSize(IntSize{text.cx, text.cy});
    return {size.cx, size.cy};
}

INT_PTR CTitlePopup::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_SETCURSOR:
        OnSetCursor();
        return FALSE;
    default:
        return fw::Dialog::DialogProc(message, wParam, lParam);
    }
}

void CTitlePopup::OnPaint()
{
    fw::PaintDC dc(m_hWnd);
    HDC hdc = dc.get();
    if (!hdc)
        return;
    fw::Brush light(CreateSolidBrush(fw::kLightGrey));
    fw::Brush dark(CreateSolidBrush(fw::kDarkGrey));
    fw::Brush face(CreateSolidBrush(fw::kGrey));
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom, f = kTitlePopupFrame;
    {
        fw::SelectGuard faceGuard(hdc, face.get());
        PatBlt(hdc, 0, 0, w, h, PATCOPY);
    }
    {
        // A sunken frame: light at the bottom and right, dark at the top and left.
        fw::SelectGuard lightGuard(hdc, light.get());
        PatBlt(hdc, 0, h - f, w, f, PATCOPY);
        PatBlt(hdc, w - f, 0, f, h, PATCOPY);
    }
    {
        fw::SelectGuard darkGuard(hdc, dark.get());
        PatBlt(hdc, 0, 0, w - 1, f, PATCOPY);
        PatBlt(hdc, 0, 0, f, h - 1, PATCOPY);
    }
    SetBkMode(hdc, TRANSPARENT);
    const fw::WideText text(m_strText);
    const int length = text.size;
    // The shadow in the default text colour, one pixel down and right, then the text itself.
    const int shadow = kTitleTextInset + 1;
    TextOutW(hdc, shadow, shadow, text.c_str(), length);
    SetTextColor(hdc, fw::kYellow);
    TextOutW(hdc, kTitleTextInset, kTitleTextInset, text.c_str(), length);
}

void CTitlePopup::OnSetCursor()
{
    // The popup goes as soon as the cursor touches it; posted, as it cannot delete itself here.
    if (m_pOwner && m_pOwner->m_hWnd)
        PostMessageA(m_pOwner->m_hWnd, WM_COMMAND, IDM_CLOSETITLE, 0);
}

void CButtonBarWnd::HideTitlePopup()
{
    CTitlePopup* popup = m_pTitlePopup;
    m_pTitlePopup = nullptr;
    m_nTitleItem = -1;
    delete popup;
}

CTitlePopup* CButtonBarWnd::NewTitlePopup(int nKind, const std::string& text)
{
    HideTitlePopup();
    CTitlePopup* popup = new (std::nothrow) CTitlePopup(this);
    if (popup && !popup->m_hWnd) {
        delete popup;
        popup = nullptr;
    }
    if (!popup)
        return nullptr;
    popup->m_nKind = nKind;
    popup->m_strText = text;
    m_pTitlePopup = popup;
    return popup;
}

LRESULT CButtonBarWnd::OnNcHitTest(POINT point)
{
    const LRESULT standard = Default();
    CLaunchApp* app = LaunchApp();
    if (!app)
        return standard;
    const ButtonLayout layout = app->Layout();
    POINT client = point;
    ScreenToClient(m_hWnd, &client);
    const bool inEffect = app->m_nPopupTitle == POPUPTITLE_ALWAYS ||
                          (app->m_nPopupTitle == POPUPTITLE_ACTIVE && GetActiveWindow() == m_hWnd);
    const TitleKind shown = !m_pTitlePopup                                     ? TitleKind::None
                            : m_pTitlePopup->m_nKind == CTitlePopup::kKindGroup ? TitleKind::Group
                                                                                : TitleKind::Item;
    const TitleHit hit = DecideTitleHit(layout, IntPoint{client.x, client.y}, inEffect, shown, m_nTitleItem);
    const LRESULT result = hit.caption ? HTCAPTION : standard;
    if (hit.action == TitleAction::None)
        return result;
    if (hit.action == TitleAction::Hide) {
        HideTitlePopup();
        return result;
    }

    RECT desk = {0, 0, 0, 0};
    GetWindowRect(GetDesktopWindow(), &desk);
    const IntRect screen = {desk.left, desk.top, desk.right, desk.bottom};
    POINT origin = {0, 0};
    ClientToScreen(m_hWnd, &origin);
    const IntPoint clientOrigin = {origin.x, origin.y};
    const int stripHeight = StripOffset(layout).y;

    IntPoint at;
    CTitlePopup* popup = nullptr;
    SIZE size = {0, 0};
    if (hit.action == TitleAction::ShowItem) {
        const size_t index = static_cast<size_t>(hit.button.index);
        if (index >= app->m_group.m_items.size() || !app->m_group.m_items[index])
            return result;
        popup = NewTitlePopup(CTitlePopup::kKindItem, app->m_group.m_items[index]->m_strTitle);
        if (!popup)
            return result;
        m_nTitleItem = hit.button.index;
        size = popup->Measure(stripHeight);
        at = ItemTitlePosition(layout, clientOrigin, hit.button, IntSize{size.cx, size.cy}, screen);
    } else {
        popup = NewTitlePopup(CTitlePopup::kKindGroup, app->m_group.m_strName);
        if (!popup)
            return result;
        size = popup->Measure(stripHeight);
        RECT window = {0, 0, 0, 0};
        GetWindowRect(m_hWnd, &window);
        at = GroupTitlePosition(layout, clientOrigin, window.bottom, IntSize{size.cx, size.cy}, screen);
    }
    SetWindowPos(popup->m_hWnd, nullptr, at.x, at.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return result;
}
