// Painting the button window: the title strip and every button with its image, edge
// and outline. Each step makes its own pens, fonts and memory contexts and releases
// them before it returns; only the icon strip is kept between paints.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kEdgeShadow = RGB(128, 125, 128);  // deliberately not a pure grey
constexpr COLORREF kPressedOuter = RGB(128, 128, 128);
constexpr COLORREF kPressedInner = RGB(192, 192, 192);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Draws a closed band with a 1-pixel pen; the bands are 2 pixels thick, so the outline
// covers them and the DC's brush never shows.
void DrawBand(HDC hdc, COLORREF colour, const POINT (&points)[6])
{
    fw::Pen pen(CreatePen(PS_SOLID, 0, colour));
    fw::SelectGuard selectPen(hdc, pen.get());
    Polygon(hdc, points, 6);
}

fw::Font CreateRotatedFont(const TEXTMETRICA& metrics, const std::string& face)
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
    std::strncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return fw::Font(CreateFontIndirectA(&font));
}

// False only when the font is known to lack a letter of the text.
bool HasGlyphs(HDC hdc, HFONT font, const std::string& text)
{
    fw::SelectGuard select(hdc, font);
    std::vector<WORD> glyphs(text.size() + 1);
    if (GetGlyphIndicesA(hdc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return true;
    return std::find(glyphs.begin(), glyphs.begin() + static_cast<std::ptrdiff_t>(text.size()), 0xFFFF) ==
           glyphs.begin() + static_cast<std::ptrdiff_t>(text.size());
}

// The points of a button's drawing, each (dx, dy) from the image origin (x, y), kept
// within what the platform draws whatever the origin and the button size.
template <size_t N>
void ButtonPoints(int x, int y, const int (&offsets)[N][2], POINT (&points)[N])
{
    for (size_t i = 0; i < N; ++i) {
        const IntPoint p = DrawPoint({x, y}, offsets[i][0], offsets[i][1]);
        points[i] = {p.x, p.y};
    }
}

}  // namespace

BOOL CLaunchApp::DrawRaisedEdge(HDC hdc, int x, int y)
{
    const int W = EffectiveButtonSize(m_nButtonWidth), H = EffectiveButtonSize(m_nButtonHeight);
    const int light[6][2] = {{-2, -2}, {W + 1, -2}, {W, -1}, {-1, -1}, {-1, H}, {-2, H + 1}};
    const int shadow[6][2] = {{W + 1, H + 1}, {-1, H + 1}, {0, H}, {W, H}, {W, 0}, {W + 1, -1}};
    POINT points[6];
    ButtonPoints(x, y, light, points);
    DrawBand(hdc, kWhite, points);
    ButtonPoints(x, y, shadow, points);
    DrawBand(hdc, kEdgeShadow, points);
    return TRUE;
}

BOOL CLaunchApp::DrawPressedEdge(HDC hdc, int x, int y)
{
    const int W = EffectiveButtonSize(m_nButtonWidth), H = EffectiveButtonSize(m_nButtonHeight);
    const int outer[6][2] = {{-2, -2}, {W + 1, -2}, {W + 1, -1}, {-1, -1}, {-1, H + 1}, {-2, H + 1}};
    const int inner[6][2] = {{0, 0}, {W + 1, 0}, {W + 1, 1}, {1, 1}, {1, H + 1}, {0, H + 1}};
    POINT points[6];
    ButtonPoints(x, y, outer, points);
    DrawBand(hdc, kPressedOuter, points);
    ButtonPoints(x, y, inner, points);
    DrawBand(hdc, kPressedInner, points);
    return TRUE;
}

BOOL CLaunchApp::DrawButtonOutline(HDC hdc, int x, int y)
{
    const int W = EffectiveButtonSize(m_nButtonWidth), H = EffectiveButtonSize(m_nButtonHeight);
    // An octagon 3 pixels outside the image with corners cut by 2 pixels.
    const int outline[9][2] = {{-1, -3},    {-3, -1},   {-3, H},  {-1, H + 2}, {W, H + 2},
                               {W + 2, H}, {W + 2, -1}, {W, -3}, {-1, -3}};
    POINT points[9];
    ButtonPoints(x, y, outline, points);
    fw::Pen pen(CreatePen(PS_SOLID, 0, kBlack));
    fw::SelectGuard selectPen(hdc, pen.get());
    Polyline(hdc, points, 9);
    return TRUE;
}

BOOL CLaunchApp::DrawButtonImage(HDC hdc, int x, int y, uint16_t nItem)
{
    fw::MemoryDC memory(hdc);
    if (!memory)
        return TRUE;
    fw::SelectGuard selectStrip(memory.get(), m_pIconStrip ? m_pIconStrip->get() : nullptr);
    CopyCell(hdc, memory.get(), x, y, nItem);
    return TRUE;
}

void CLaunchApp::CopyCell(HDC hdc, HDC strip, int x, int y, int nItem) const
{
    const int W = EffectiveButtonSize(m_nButtonWidth), H = EffectiveButtonSize(m_nButtonHeight);
    const long long cell = static_cast<long long>(nItem) * W;
    // A cell the strip does not have (no strip, a failed build, or an item past the
    // strip's last cell) is not copied.
    if (!m_pIconStrip || !*m_pIconStrip || cell < 0 || cell + W > m_sizeIconStrip.cx)
        return;
    const IntPoint at = DrawPoint({x, y}, 0, 0);
    BitBlt(hdc, at.x, at.y, W, H, strip, static_cast<int>(cell), 0, SRCCOPY);
}

BOOL CLaunchApp::PaintButtons(HDC hdc)
{
    POINT offset;
    GetStripOffset(offset);
    // Logical (0, 0) becomes the grid's origin.
    SetWindowOrgEx(hdc, -offset.x, -offset.y, nullptr);
    fw::MemoryDC memory(hdc);
    if (!memory)
        return TRUE;
    fw::SelectGuard selectStrip(memory.get(), m_pIconStrip ? m_pIconStrip->get() : nullptr);
    const ButtonLayout layout = Layout();
    // Only the cells that meet the area being painted, which lies within the screen: a
    // group of thousands of items costs a screenful of buttons, not all of them.
    RECT clip;
    const int region = GetClipBox(hdc, &clip);
    if (region == NULLREGION)
        return TRUE;
    if (region == ERROR)
        clip = {0, 0, kMaxExtent, kMaxExtent};
    const CellSpan span = CellsMeeting(layout, {clip.left, clip.top}, {clip.right, clip.bottom});
    const long long perRow = EffectiveMaxInLine(layout.maxInLine);
    for (int row = span.firstRow; row <= span.lastRow; ++row) {
        for (int column = span.firstColumn; column <= span.lastColumn; ++column) {
            const long long index = row * perRow + column;
            if (index >= layout.itemCount)
                break;
            const IntPoint at = CellImageOrigin(layout, static_cast<int>(index));
            DrawRaisedEdge(hdc, at.x, at.y);
            DrawButtonOutline(hdc, at.x, at.y);
            CopyCell(hdc, memory.get(), at.x, at.y, static_cast<int>(index));
        }
    }
    return TRUE;
}

BOOL CButtonBarWnd::DrawTitleStrip(HDC hdc, BOOL bActive)
{
    CLaunchApp* app = LaunchApp();
    if (!app || (app->m_nTitle != TITLE_HORIZONTAL && app->m_nTitle != TITLE_VERTICAL))
        return TRUE;
    const bool vertical = app->m_nTitle == TITLE_VERTICAL;
    const int c = GetSystemMetrics(SM_CYCAPTION);

    std::unique_ptr<fw::WindowDC> ownDC;
    if (!hdc) {
        ownDC = std::make_unique<fw::WindowDC>(m_hWnd);
        hdc = ownDC->get();
    }
    if (!hdc) {
        app->ReportLaunchError(LAUNCH_ERROR_MEMORY);
        return TRUE;
    }

    const std::string text = app->LoadResString(IDS_PRODUCT);

    // The vertical strip reads from bottom to top: the same face, turned, in its vertical form.
    fw::Font rotated;
    TEXTMETRICA metrics;
    if (vertical && GetTextMetricsA(hdc, &metrics)) {
        char face[LF_FACESIZE] = {};
        std::string name = "@System";
        if (GetTextFaceA(hdc, LF_FACESIZE, face) > 0 && face[0])
            name = face[0] == '@' ? std::string(face) : "@" + std::string(face);
        rotated = CreateRotatedFont(metrics, name);
        // Where the vertical form of the face lacks the text's letters (a fallback face
        // of the platform), the face itself, turned, still reads.
        if (rotated && !HasGlyphs(hdc, rotated.get(), text))
            rotated = CreateRotatedFont(metrics, name.substr(1));
    }
    fw::SelectGuard selectFont(hdc, rotated.get());

    SIZE extent = {0, 0};
    GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &extent);

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
        ExtTextOutA(hdc, 1, (r.top + r.bottom) / 2, ETO_OPAQUE, &r, text.c_str(), static_cast<UINT>(text.size()),
                    nullptr);
    else
        ExtTextOutA(hdc, (r.left + r.right) / 2, (c - extent.cy) / 2, ETO_OPAQUE, &r, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBack);

    fw::Pen pen(CreatePen(PS_SOLID, 0, kBlack));
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
    if (app->m_nGroup < 0 || static_cast<size_t>(app->m_nGroup) >= app->m_groupSources.size()) {
        // No group to show: the bar shows one empty cell rather than reading outside the list.
        app->m_group.RemoveAllItems();
        app->m_group.m_strSource.clear();
        app->m_group.m_strName.clear();
    } else if (app->m_group.Load(app->m_groupSources[static_cast<size_t>(app->m_nGroup)], LOAD_ITEMS) != 0) {
        return FALSE;  // the window keeps its size, and nothing is repainted
    }
    if (!app->BuildIconStrip(app->m_group.m_strSource))
        return FALSE;
    const SIZE size = app->ButtonWindowSize();
    app->PlaceButtonWindow(size.cx, size.cy);
    // A null window would stand for every top-level window: all of them would be erased.
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}
