// Reducing a program's icon to the form a group record stores: 32 x 32 pixels of at
// most 8 bits with a palette, and a 1-bit mask. Pure code; the platform draws the icon
// into the pixels handed in here.
#pragma once

#include "authoring/group_writer.h"

#include <array>
#include <cstdint>

// 32 x 32 pixels, top row first: colour as 0x00RRGGBB, and whether the pixel lets the
// background through.
struct IconPicture {
    std::array<uint32_t, 32 * 32> colours{};
    std::array<bool, 32 * 32> transparent{};
};

// 4 bits per pixel when 16 colours do, else 8; beyond 256 colours each is taken to the
// nearest of a fixed 256-colour palette. Transparent pixels are black in the image, so
// that the background shows through them unchanged.
StoredIcon ReduceIcon(const IconPicture& picture);
