// The title popup's decisions, without the platform: what a hit test over the button
// window does with the popup (show an item's title, the group's name, remove it, or
// leave it) and what it answers, and where a popup of a given size goes on the screen.
// CButtonBarWnd::OnNcHitTest carries them out.
#pragma once

#include "buttonbar/geometry.h"
#include "buttonbar/visibility_policy.h"

enum class TitleKind { None, Item, Group };

enum class TitleAction {
    None,       // leave the popup as it is
    Hide,       // remove it
    ShowItem,   // replace it by the title of `item`
    ShowGroup,  // replace it by the group's name
};

struct TitleHit {
    TitleAction action = TitleAction::None;
    bool caption = false;  // answer HTCAPTION (drag handle); otherwise the default result
    ButtonAtPoint button;  // for ShowItem
};

// The hit test at a client point. `inEffect`: "ButtonTitle" lets a popup show now;
// `shown`/`shownItem`: the popup there is now.
TitleHit DecideTitleHit(const ButtonLayout& layout, IntPoint client, bool inEffect, TitleKind shown, int shownItem);

// The popup's text starts this far inside it, and its sunken frame is this thick.
constexpr int kTitleTextInset = 4;
constexpr int kTitlePopupFrame = 2;
// A popup is this much larger than its text each way.
constexpr int kTitlePopupMargin = 11;

// The popup's size for a text measured as (tw, th): kTitlePopupMargin pixels more each way.
IntSize TitlePopupSize(IntSize text);

// Where an item's title goes: just above the button's cell, one pixel left of it; below
// the cell when above would leave the screen's top; pushed onto the screen at the left,
// right and bottom. `clientOrigin` is the window's client (0, 0) on the screen.
IntPoint ItemTitlePosition(const ButtonLayout& layout, IntPoint clientOrigin, const ButtonAtPoint& button,
                           IntSize popup, const IntRect& screen);

// Where the group's name goes: right of a Vertical strip above the client area, else
// above the window at its left edge; below the window (`windowBottom`, screen) when that
// leaves the screen at the left or top; left of a Vertical-strip window that reaches the
// right edge; kept on the screen at the bottom.
IntPoint GroupTitlePosition(const ButtonLayout& layout, IntPoint clientOrigin, int windowBottom, IntSize popup,
                            const IntRect& screen);
