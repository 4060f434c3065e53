#include "authoring/icon_reduce.h"

#include "tests/support/group_record_builder.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The stored icon's parts as the record builder's helpers read them.
IconImage AsImage(const StoredIcon& icon)
{
    IconImage image;
    image.bitCount = static_cast<uint16_t>(icon.bytes[14] | (icon.bytes[15] << 8));
    const size_t table = size_t{4} << image.bitCount;
    const size_t bits = size_t{128} * image.bitCount;
    for (size_t i = 0; i < table; i += 4)
        image.palette.push_back(GetU32(icon.bytes, 40 + i));
    image.bits.assign(icon.bytes.begin() + 40 + static_cast<long>(table),
                      icon.bytes.begin() + 40 + static_cast<long>(table + bits));
    std::copy(icon.bytes.end() - 128, icon.bytes.end(), image.mask.begin());
    return image;
}

uint32_t ColourAt(const IconImage& image, int x, int y)
{
    return image.palette[PixelIndex(image, x, y)];
}

TEST(IconReduce, FewColoursKeepTheirPlacesAtFourBits)
{
    IconPicture picture;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const size_t i = static_cast<size_t>(y * 32 + x);
            picture.colours[i] = x < 16 && y < 16 ? 0xFF0000 : 0x00FF00;
            picture.transparent[i] = y >= 28;
        }
    }
    const StoredIcon icon = ReduceIcon(picture);
    ASSERT_TRUE(IsDrawableIcon(icon));
    const IconImage image = AsImage(icon);
    EXPECT_EQ(image.bitCount, 4);
    EXPECT_EQ(ColourAt(image, 0, 0), 0xFF0000u);  // top left stays top left
    EXPECT_EQ(ColourAt(image, 31, 0), 0x00FF00u);
    EXPECT_EQ(ColourAt(image, 20, 20), 0x00FF00u);
    EXPECT_FALSE(MaskTransparent(image, 5, 27));
    EXPECT_TRUE(MaskTransparent(image, 5, 28));
    // A transparent pixel is black in the image, so that the background shows unchanged.
    EXPECT_EQ(ColourAt(image, 5, 31), 0u);
}

TEST(IconReduce, ManyColoursGoToEightBitsAndThenToTheFixedPalette)
{
    IconPicture some;
    for (size_t i = 0; i < some.colours.size(); ++i)
        some.colours[i] = static_cast<uint32_t>(i % 200) * 0x010101u;
    IconImage image = AsImage(ReduceIcon(some));
    EXPECT_EQ(image.bitCount, 8);
    EXPECT_EQ(ColourAt(image, 7, 3), (3u * 32 + 7) % 200 * 0x010101u);

    IconPicture many;
    for (size_t i = 0; i < many.colours.size(); ++i)
        many.colours[i] = static_cast<uint32_t>(i * 4099);
    many.colours[0] = 0xFFFFFF;
    many.colours[1] = 0xFF0000;
    image = AsImage(ReduceIcon(many));
    EXPECT_EQ(image.bitCount, 8);
    EXPECT_EQ(ColourAt(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(ColourAt(image, 1, 0), 0xFF0000u);
}

}  // namespace
