#include "catalog/icon_strip.h"

#include "framework/colours.h"

#include <cstring>

namespace {

constexpr COLORREF kStripBackground = fw::kLightGrey;

// The bitmap information of an icon, rebuilt from the record: a plain 40-byte header
// describing exactly the 32 x 32 colour image that lies in the record, then the full
// colour table. The record's own header is not handed over as it stands, since a
// damaged one (a larger width or height, a compressed format, a short colour count)
// would make the platform read past the record.
struct IconBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

bool PrepareIconInfo(const GroupRecord& record, const IconLocation& icon, IconBitmapInfo& out)
{
    BITMAPINFOHEADER stored;
    uint32_t headerSize = 0;
    record.ReadU32(icon.info, headerSize);
    if (headerSize < sizeof stored || !record.Contains(icon.info, sizeof stored))
        return false;
    std::memcpy(&stored, record.Data() + icon.info, sizeof stored);
    // 32 pixels wide, and at least the 32 rows of the image (icons often count the mask too).
    if (stored.biWidth != static_cast<LONG>(kIconSize) || stored.biHeight < static_cast<LONG>(kIconSize) ||
        stored.biCompression != BI_RGB || stored.biPlanes != 1)
        return false;
    const size_t tableBytes = (size_t{4} << (icon.planes * icon.bitCount));
    const uint64_t tableAt = uint64_t{icon.info} + headerSize;
    if (tableBytes > sizeof out.colours || !record.Contains(tableAt, tableBytes))
        return false;
    out.header = stored;
    out.header.biSize = sizeof out.header;
    out.header.biHeight = static_cast<LONG>(kIconSize);  // bottom-up: the image rows only
    out.header.biSizeImage = 0;
    out.header.biClrUsed = 0;
    std::memcpy(out.colours, record.Data() + tableAt, tableBytes);
    return true;
}

}  // namespace

void DrawIconStrip(HWND window, const uint8_t* data, size_t size, const CProgramGroup& group, int cellWidth,
                   int cellHeight, int cells, fw::Bitmap& strip, SIZE& stripSize)
{
    if (!data || size == 0 || !window)
        return;
    fw::WindowDC windowDC(window);
    if (!windowDC)
        return;
    const int planes = GetDeviceCaps(windowDC.get(), PLANES);
    const int bitsPerPixel = GetDeviceCaps(windowDC.get(), BITSPIXEL);

    fw::MemoryDC stripDC(windowDC.get());
    fw::MemoryDC maskDC(windowDC.get());
    if (!stripDC || !maskDC)
        return;
    SetStretchBltMode(stripDC.get(), COLORONCOLOR);

    const int W = cellWidth;
    const int H = cellHeight;
    const int width = W * cells;
    strip.reset();
    stripSize.cx = width;
    stripSize.cy = H;
    strip.reset(CreateBitmap(width, H, static_cast<UINT>(planes), static_cast<UINT>(bitsPerPixel), nullptr));
    if (!strip)
        return;

    fw::SelectGuard selectStrip(stripDC.get(), strip.get());
    {
        fw::Brush grey(CreateSolidBrush(kStripBackground));
        fw::SelectGuard selectBrush(stripDC.get(), grey.get());
        PatBlt(stripDC.get(), 0, 0, width, H, PATCOPY);
    }

    GroupRecord record(data, size, PlatformCodePage());
    for (int i = 0; i < cells; ++i) {
        const CProgramItem& item = *group.m_items[static_cast<size_t>(i)];
        // The record may have been read anew: if it changed since the items were built,
        // offsets that no longer describe a whole icon in it are not followed.
        IconLocation icon;
        IconBitmapInfo info;
        if (item.m_nIconInfo == 0 || !record.LocateIcon(item.m_nIconInfo, icon) || icon.bits != item.m_nIconBits ||
            icon.mask != item.m_nIconMask || !PrepareIconInfo(record, icon, info))
            continue;

        {
            fw::Bitmap mask(CreateBitmap(kIconSize, kIconSize, 1, 1, data + icon.mask));
            if (mask) {
                fw::SelectGuard selectMask(maskDC.get(), mask.get());
                // The mask is stored bottom row first; the negative height turns it over.
                StretchBlt(stripDC.get(), i * W, H - 1, W, -H, maskDC.get(), 0, 0, kIconSize, kIconSize, SRCAND);
            }
        }
        StretchDIBits(stripDC.get(), i * W, 0, W, H, 0, 0, kIconSize, kIconSize, data + icon.bits,
                      reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCPAINT);
    }
}
