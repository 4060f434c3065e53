// Painting the button window: the title strip, and the buttons through CLaunchApp's
// drawing; rebuilding the buttons for the current group. Each step makes its own pens,
// fonts and memory contexts and releases them before it returns; only the icon strip is
// kept between paints.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "framework/colours.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

fw::Font CreateRotatedFont(const TEXTMETRICA& metrics, const char* face)
{
    LOGFONTA font = {};
    font.lfHeight = metrics.tmHeight;
    font.lfEscapement = 900;  // tenths of a degree: bottom to top
    font.lfOrientation = 900;
    font.lfWeight = metrics.tmWeight;
    font.lfItalic = metrics.tmItalic;
    font.lfUnderline = metrics.tmUnderlined;
    font.lfStrikeOut = metrics.tmStruckOut;
    font.lfCharSet = metrics.tmCharSet;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = metrics.tmPitchAndFamily;
    // A face that fills the field loses its last character to the "@".
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return fw::Font(CreateFontIndirectA(&font));
}

// False only when the font is known to lack a letter of the text.
bool HasGlyphs(HDC hdc, HFONT font, const fw::WideText& text)
{
    fw::SelectGuard select(hdc, font);
    std::vector<WORD> glyphs(static_cast<size_t>(text.size) + 1);
    if (GetGlyphIndicesW(hdc, text.c_str(), text.size, glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return true;
    return std::find(glyphs.begin(), glyphs.begin() + text.size, 0xFFFF) ==
           glyphs.begin() + text.size;
}

}  // namespace

BOOL CButtonBarWnd::DrawTitleStrip(HDC hdc, BOOL bActive)
{
    CLaunchApp* app = LaunchApp();
    if (!app || (app->m_nTitle != TITLE_HORIZONTAL && app->m_nTitle != TITLE_VERTICAL))
        return TRUE;
    if (!hdc) {
        // The window's own DC, for as long as the strip is drawn on it.
        fw::WindowDC own(m_hWnd);
        if (own)
            return DrawTitleStrip(own.get(), bActive);
        app->ReportLaunchError(LAUNCH_ERROR_MEMORY);
        return TRUE;
    }
    const bool vertical = app->m_nTitle == TITLE_VERTICAL;
    const int c = GetSystemMetrics(SM_CYCAPTION);

    const fw::WideText text(app->LoadResString(IDS_PRODUCT));

    // The vertical strip reads from bottom to top: the same face, turned, in its vertical form.
    fw::Font rotated;
    TEXTMETRICA metrics;
    if (vertical && GetTextMetricsA(hdc, &metrics)) {
        // "@" and the face (once), or "@System" when the DC names none.
        char name[LF_FACESIZE + 1] = {'@'};
        if (GetTextFaceA(hdc, LF_FACESIZE, name + 1) <= 0 || !name[1])
            lstrcpyA(name + 1, "System");
        const char* atFace = name[1] == '@' ? name + 1 : name;
        rotated = CreateRotatedFont(metrics, atFace);
        // Where the vertical form of the face lacks the text's letters (a fallback face
        // of the platform), the face itself, turned, still reads.
        if (rotated && !HasGlyphs(hdc, rotated.get(), text))
            rotated = CreateRotatedFont(metrics, atFace + 1);
    }
    fw::SelectGuard selectFont(hdc, rotated.get());

    SIZE extent = {0, 0};
    GetTextExtentPoint32W(hdc, text.c_str(), text.size, &extent);

    RECT r;
    GetClientRect(m_hWnd, &r);
    if (vertical) {
        r.right = c;
        r.top = r.bottom - std::max<LONG>(r.bottom, extent.cy);
    } else {
        r.right = std::max<LONG>(r.right, extent.cx);
        r.bottom = c;
        r.left = 0;
        r.top = 0;
    }

    COLORREF oldText = SetTextColor(hdc, GetSysColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    COLORREF oldBack = SetBkColor(hdc, GetSysColor(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    SetTextAlign(hdc, TA_CENTER);
    if (vertical)
        ExtTextOutW(hdc, 1, (r.top + r.bottom) / 2, ETO_OPAQUE, &r, text.c_str(), static_cast<UINT>(text.size),
                    nullptr);
    else
        ExtTextOutW(hdc, (r.left + r.right) / 2, (c - extent.cy) / 2, ETO_OPAQUE, &r, text.c_str(),
                    static_cast<UINT>(text.size), nullptr);
    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBack);

    fw::Pen pen(CreatePen(PS_SOLID, 0, fw::kBlack));
    fw::SelectGuard selectPen(hdc, pen.get());
    if (vertical) {
        MoveToEx(hdc, c, r.top, nullptr);
        LineTo(hdc, c, r.bottom);
    } else {
        MoveToEx(hdc, 0, c, nullptr);
        LineTo(hdc, r.right, c);
    }
    return TRUE;
}

void CButtonBarWnd::OnPaint()
{
    fw::PaintDC dc(m_hWnd);
    DrawTitleStrip(dc.get(), GetActiveWindow() == m_hWnd);
    if (CLaunchApp* app = LaunchApp())
        app->PaintButtons(dc.get());
}

void CButtonBarWnd::OnActivate(UINT nState, HWND, BOOL)
{
    // Only the strip follows the activation; the buttons stay as they are.
    DrawTitleStrip(nullptr, nState != WA_INACTIVE);
    Default();
}

BOOL CButtonBarWnd::RebuildButtons()
{
    CLaunchApp* app = LaunchApp();
    if (!app)
        return FALSE;
    fw::WaitCursor wait;
    // No group to show leaves one empty cell, rather than reading outside the list. A group
    // that cannot be read leaves the window its size, and nothing is repainted.
    if (app->LoadCurrentGroup() != 0)
        return FALSE;
    // The layout is taken once: each look at the caption height costs the platform a look
    // at its display settings.
    const ButtonLayout layout = app->Layout();
    const IntSize size = WindowSize(layout);
    app->PlaceButtonWindow(size.cx, size.cy);
    // A null window would stand for every top-level window: all of them would be erased.
    if (!m_hWnd)
        return TRUE;
    // A group laid out as the one shown changes only the images: they are drawn over the
    // old ones, rather than the whole bar erased and every edge drawn again. A press shows
    // its image moved, and a hidden bar is painted whole when it is shown.
    const bool sameLayout = m_bLayoutShown && layout == m_layoutShown;
    m_layoutShown = layout;
    m_bLayoutShown = true;
    if (sameLayout && !m_bButtonDown && IsWindowVisible(m_hWnd)) {
        fw::WindowDC dc(m_hWnd);
        if (dc && app->PaintButtons(dc.get(), &layout))
            return TRUE;
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}
