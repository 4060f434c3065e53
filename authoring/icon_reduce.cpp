#include "authoring/icon_reduce.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0;
constexpr size_t kPixels = 32 * 32;

// Red and green in 8 steps, blue in 4: every colour a byte.
uint32_t FixedPaletteEntry(unsigned index)
{
    const unsigned r = (index >> 5) & 7, g = (index >> 2) & 7, b = index & 3;
    return ((r * 255 / 7) << 16) | ((g * 255 / 7) << 8) | (b * 255 / 3);
}

unsigned FixedPaletteIndex(uint32_t colour)
{
    const unsigned r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    return (((r * 7 + 127) / 255) << 5) | (((g * 7 + 127) / 255) << 2) | ((b * 3 + 127) / 255);
}

}  // namespace

StoredIcon ReduceIcon(const IconPicture& picture)
{
    // Black first: transparent pixels use it.
    std::vector<uint32_t> palette{kBlack};
    for (size_t i = 0; i < kPixels && palette.size() <= 256; ++i) {
        const uint32_t colour = picture.transparent[i] ? kBlack : (picture.colours[i] & 0xFFFFFF);
        if (std::find(palette.begin(), palette.end(), colour) == palette.end())
            palette.push_back(colour);
    }
    const bool fixed = palette.size() > 256;
    const uint16_t bits = palette.size() <= 16 ? 4 : 8;
    if (fixed) {
        palette.clear();
        for (unsigned index = 0; index < 256; ++index)
            palette.push_back(FixedPaletteEntry(index));
    }

    const size_t stride = size_t{4} * bits;
    std::vector<uint8_t> image(32 * stride, 0), mask(128, 0);
    for (size_t y = 0; y < 32; ++y) {
        const size_t stored = 31 - y;  // bottom row first
        for (size_t x = 0; x < 32; ++x) {
            const size_t i = y * 32 + x;
            unsigned index = 0;
            if (picture.transparent[i]) {
                mask[stored * 4 + x / 8] = static_cast<uint8_t>(mask[stored * 4 + x / 8] | (0x80 >> (x % 8)));
            } else {
                const uint32_t colour = picture.colours[i] & 0xFFFFFF;
                index = fixed ? FixedPaletteIndex(colour)
                              : static_cast<unsigned>(std::find(palette.begin(), palette.end(), colour) -
                                                      palette.begin());
            }
            if (bits == 8)
                image[stored * stride + x] = static_cast<uint8_t>(index);
            else
                image[stored * stride + x / 2] =
                    static_cast<uint8_t>(image[stored * stride + x / 2] | (index << (x % 2 ? 0 : 4)));
        }
    }
    return *MakeIcon(bits, palette, image, mask);
}
