#include "authoring/icon_extract.h"

#include "authoring/icon_reduce.h"
#include "framework/gdi.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

namespace authoring {

namespace {

constexpr int kSide = 32;

// Draws the icon over a background of one colour and returns the 32 x 32 pixels, top
// row first, as 0x00RRGGBB.
bool DrawOver(HICON icon, COLORREF background, uint32_t (&pixels)[kSide * kSide])
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSide;
    info.bmiHeader.biHeight = -kSide;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::MemoryDC dc(nullptr);
    if (!bitmap || !dc || !bits)
        return false;
    fw::SelectGuard select(dc.get(), bitmap.get());
    fw::Brush brush(CreateSolidBrush(background));
    RECT all = {0, 0, kSide, kSide};
    FillRect(dc.get(), &all, brush.get());
    if (!DrawIconEx(dc.get(), 0, 0, icon, kSide, kSide, 0, nullptr, DI_NORMAL))
        return false;
    GdiFlush();
    const auto* drawn = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < kSide * kSide; ++i)
        pixels[i] = drawn[i] & 0xFFFFFF;
    return true;
}

// Over black and over white: a pixel that comes out the same is opaque; one that takes
// the background's colour lets it through (more than half of it: transparent). The
// icon is destroyed.
std::optional<StoredIcon> IconFromHandle(HICON icon)
{
    uint32_t overBlack[kSide * kSide], overWhite[kSide * kSide];
    const bool drawn = DrawOver(icon, RGB(0, 0, 0), overBlack) && DrawOver(icon, RGB(255, 255, 255), overWhite);
    DestroyIcon(icon);
    if (!drawn)
        return std::nullopt;
    IconPicture picture;
    for (size_t i = 0; i < picture.colours.size(); ++i) {
        const int through = static_cast<int>(overWhite[i] >> 8 & 0xFF) - static_cast<int>(overBlack[i] >> 8 & 0xFF);
        picture.transparent[i] = through > 127;
        picture.colours[i] = overBlack[i];
    }
    return ReduceIcon(picture);
}

}  // namespace

void SplitIconLocation(const std::wstring& location, std::wstring& file, int& index)
{
    file = location;
    index = 0;
    const size_t comma = location.rfind(L',');
    if (comma == std::wstring::npos || comma + 1 >= location.size())
        return;
    wchar_t* end = nullptr;
    const long value = std::wcstol(location.c_str() + comma + 1, &end, 10);
    if (end && *end == L'\0') {
        file = location.substr(0, comma);
        index = static_cast<int>(value);
    }
}

std::optional<StoredIcon> IconFromFile(const std::wstring& file, int index)
{
    HICON icon = nullptr;
    if (ExtractIconExW(file.c_str(), index, &icon, nullptr, 1) == 0 || !icon)
        return std::nullopt;
    return IconFromHandle(icon);
}

std::optional<StoredIcon> ShellIconOf(const std::wstring& path)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON) || !info.hIcon)
        return std::nullopt;
    return IconFromHandle(info.hIcon);
}

}  // namespace authoring
