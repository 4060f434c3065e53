// The icon strip: every icon of a group, scaled to the button size, drawn into one
// screen-compatible bitmap, cell i the image of item i. CLaunchApp keeps the strip and
// builds it through BuildIconStrip; button painting copies its cells.
#pragma once

#include "catalog/program_group.h"
#include "framework/gdi.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Draws the icons of the group's first `cells` items, each cellWidth x cellHeight, from
// its record (`size` bytes at `record`, as read from the registry) into a new strip bitmap
// compatible with the window's screen. Without the record, the window or its device
// contexts the strip and its size stay as they were; when the new bitmap cannot be made,
// the strip holds none and `stripSize` the size it would have had.
void DrawIconStrip(HWND window, const uint8_t* record, size_t size, const CProgramGroup& group, int cellWidth,
                   int cellHeight, int cells, fw::Bitmap& strip, SIZE& stripSize);
