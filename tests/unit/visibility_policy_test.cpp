// The timer's policy tick by tick, and where the title popup goes.
#include "app/modes.h"
#include "buttonbar/title_placement.h"
#include "buttonbar/visibility_policy.h"

#include <gtest/gtest.h>

namespace {

const IntSize kScreen = {640, 480};

// A 100 x 60 window, hidden, in PopUp mode.
TimerInput PopUp(IntPoint cursor)
{
    TimerInput in;
    in.cursor = cursor;
    in.screen = kScreen;
    in.window = {200, 200, 300, 260};
    in.popupMode = POPUP_POPUP;
    return in;
}

// Runs one tick and carries the counters and the show state on, as the window does.
TimerDecision Tick(TimerInput& in)
{
    const TimerDecision out = DecideTimer(in);
    in.saverTicks = out.saverTicks;
    in.edgeTicks = out.edgeTicks;
    if (out.window == WindowAction::Hide)
        in.shown = false;
    if (out.window == WindowAction::Show) {
        in.shown = true;
        const int w = in.window.right - in.window.left, h = in.window.bottom - in.window.top;
        in.window = {out.topLeft.x, out.topLeft.y, out.topLeft.x + w, out.topLeft.y + h};
    }
    return out;
}

TEST(VisibilityPolicy, FifthTickOnAnEdgeShowsCentredAndClamped)
{
    TimerInput in = PopUp({0, 240});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Tick(in).window, WindowAction::None) << "tick " << i;
    const TimerDecision out = Tick(in);
    EXPECT_EQ(out.window, WindowAction::Show);
    EXPECT_FALSE(out.activate);
    EXPECT_EQ(out.topLeft.x, 0);
    EXPECT_EQ(out.topLeft.y, 210);
    EXPECT_EQ(in.edgeTicks, 0u);

    // Leaving the edge before the fifth tick starts the count again.
    TimerInput again = PopUp({0, 240});
    Tick(again);
    Tick(again);
    again.cursor = {5, 240};
    EXPECT_EQ(Tick(again).window, WindowAction::Hide);
    again.cursor = {0, 240};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Tick(again).window, WindowAction::None);
    EXPECT_EQ(Tick(again).window, WindowAction::Show);

    // Bottom-right corner: aligned with both far edges.
    TimerInput corner = PopUp({639, 479});
    corner.edgeTicks = 4;
    const TimerDecision far = Tick(corner);
    EXPECT_EQ(far.topLeft.x, 540);
    EXPECT_EQ(far.topLeft.y, 420);
}

TEST(VisibilityPolicy, HidesThreePixelsRightOfTheWindowNotTwo)
{
    TimerInput in = PopUp({250, 230});
    in.shown = true;
    in.edgeTicks = 3;
    in.cursor = {301, 230};  // 2 pixels right of the right edge (299)
    TimerDecision out = Tick(in);
    EXPECT_EQ(out.window, WindowAction::None);
    EXPECT_EQ(out.edgeTicks, 0u);
    in.cursor = {250, 261};  // 2 below the bottom edge
    EXPECT_EQ(Tick(in).window, WindowAction::None);
    in.cursor = {302, 230};
    EXPECT_EQ(Tick(in).window, WindowAction::Hide);
    // Hidden, off every edge: nothing more to hide or show.
    EXPECT_EQ(Tick(in).window, WindowAction::Hide);
}

TEST(VisibilityPolicy, HotKeysShowAtOnceActiveAndFollowTheCursor)
{
    TimerInput in = PopUp({320, 240});
    in.hotKeys = true;
    TimerDecision out = Tick(in);
    EXPECT_EQ(out.window, WindowAction::Show);
    EXPECT_TRUE(out.activate);
    EXPECT_EQ(out.topLeft.x, 270);
    EXPECT_EQ(out.topLeft.y, 210);
    in.cursor = {400, 100};
    out = Tick(in);
    EXPECT_EQ(out.window, WindowAction::Show);
    EXPECT_EQ(out.topLeft.x, 350);
    EXPECT_EQ(out.topLeft.y, 70);
    // Released: stays while the cursor is on it, hides when it leaves.
    in.hotKeys = false;
    EXPECT_EQ(Tick(in).window, WindowAction::None);
    in.cursor = {10, 10};
    EXPECT_EQ(Tick(in).window, WindowAction::Hide);
}

TEST(VisibilityPolicy, FixedAndOpenMenuOnlyActivateOnHotKeys)
{
    TimerInput in = PopUp({0, 0});
    in.popupMode = POPUP_FIXED;
    in.edgeTicks = 4;
    EXPECT_EQ(Tick(in).window, WindowAction::None);
    in.hotKeys = true;
    EXPECT_EQ(Tick(in).window, WindowAction::Activate);

    TimerInput menu = PopUp({600, 10});
    menu.shown = true;
    menu.menuOpen = true;
    EXPECT_EQ(Tick(menu).window, WindowAction::None);
    menu.hotKeys = true;
    EXPECT_EQ(Tick(menu).window, WindowAction::Activate);
}

TEST(VisibilityPolicy, GroupUpPicksTheGroupAlongTheEdge)
{
    EXPECT_EQ(GroupAtEdge({320, 0}, kScreen, 4), 2);
    EXPECT_EQ(GroupAtEdge({639, 479}, kScreen, 4), 3);  // corner: by y, 4 clamped
    EXPECT_EQ(GroupAtEdge({0, 0}, kScreen, 4), 0);
    EXPECT_EQ(GroupAtEdge({0, 120}, kScreen, 4), 1);
    EXPECT_EQ(GroupAtEdge({100, 479}, kScreen, 4), 0);
    EXPECT_EQ(GroupAtEdge({320, 0}, kScreen, 0), -1);
    EXPECT_EQ(GroupAtEdge({0, 0}, IntSize{1, 1}, 3), 0);

    TimerInput in = PopUp({320, 0});
    in.popupMode = POPUP_GROUPUP;
    in.groupCount = 4;
    in.edgeTicks = 4;
    EXPECT_EQ(Tick(in).group, 2);
    // Already the current group: nothing to rebuild.
    TimerInput same = PopUp({320, 0});
    same.popupMode = POPUP_GROUPUP;
    same.groupCount = 4;
    same.group = 2;
    same.edgeTicks = 4;
    EXPECT_EQ(Tick(same).group, -1);
    // No groups: the current one is left alone, the window still pops up.
    TimerInput none = PopUp({320, 0});
    none.popupMode = POPUP_GROUPUP;
    none.group = 7;
    none.edgeTicks = 4;
    const TimerDecision out = Tick(none);
    EXPECT_EQ(out.window, WindowAction::Show);
    EXPECT_EQ(out.group, -1);
    // Hot keys away from the edges show the current group.
    TimerInput keys = PopUp({320, 240});
    keys.popupMode = POPUP_GROUPUP;
    keys.groupCount = 4;
    keys.hotKeys = true;
    EXPECT_EQ(Tick(keys).group, -1);
}

OtherMonitors One(IntRect monitor)
{
    OtherMonitors others;
    others.rects[0] = monitor;
    others.count = 1;
    return others;
}

// A 1024 x 768 primary with a second monitor on each side in turn; where the second one
// continues an edge, the pointer passes on across it and that stretch reveals nothing.
TEST(VisibilityPolicy, OnlyThePrimarysOwnOuterEdgesRevealTheBar)
{
    const IntSize primary = {1024, 768};
    const OtherMonitors right = One({1024, 0, 1824, 600});
    const OtherMonitors left = One({-1280, -100, 0, 924});
    const OtherMonitors above = One({0, -600, 800, 0});
    const OtherMonitors below = One({200, 768, 1000, 1368});
    struct Case {
        const OtherMonitors& others;
        IntPoint cursor;
        bool edge;
    } cases[] = {
        {right, {1023, 300}, false}, {right, {1023, 700}, true}, {right, {1023, 0}, true},
        {right, {0, 300}, true},     {right, {1500, 300}, false}, {right, {1823, 599}, false},
        {left, {0, 500}, false},     {left, {-1, 500}, false},    {left, {-1280, 0}, false},
        {left, {0, 767}, true},      {left, {1023, 400}, true},   {above, {100, 0}, false},
        {above, {900, 0}, true},     {above, {0, 0}, true},       {above, {400, -600}, false},
        {below, {500, 767}, false},  {below, {100, 767}, true},   {below, {1023, 767}, true},
        {below, {600, 1367}, false}, {right, {1024, 768}, false}, {right, {-1, 300}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.edge, OnScreenEdge(c.cursor, primary, c.others)) << c.cursor.x << "," << c.cursor.y;

    // GroupUp divides the primary's edges; a corner whose side is continued belongs to
    // the top edge alone.
    EXPECT_EQ(GroupAtEdge({1023, 0}, primary, 4, right), 3);
    EXPECT_EQ(GroupAtEdge({1023, 0}, primary, 4), 0);
    EXPECT_EQ(GroupAtEdge({0, 767}, primary, 4, left), 0);  // by y it would be 3
    EXPECT_EQ(GroupAtEdge({0, 0}, primary, 4, above), 0);

    // The pointer resting on the second monitor, or on the edge it continues, never
    // shows the bar nor switches the group; the free stretch of that edge still does.
    const OtherMonitors wide = One({1920, 0, 3200, 1024});
    for (IntPoint rest : {IntPoint{2500, 300}, IntPoint{1919, 300}, IntPoint{-3, 300}}) {
        TimerInput in = PopUp(rest);
        in.screen = {1920, 1080};
        in.otherMonitors = &wide;
        in.popupMode = POPUP_GROUPUP;
        in.groupCount = 4;
        for (int i = 0; i < 100; ++i) {
            const TimerDecision out = Tick(in);
            EXPECT_NE(out.window, WindowAction::Show) << rest.x << " tick " << i;
            EXPECT_EQ(out.group, -1);
        }
    }
    TimerInput free = PopUp({1919, 1050});
    free.screen = {1920, 1080};
    free.otherMonitors = &wide;
    free.edgeTicks = 4;
    EXPECT_EQ(Tick(free).window, WindowAction::Show);
}

TEST(VisibilityPolicy, ARectangleOffEveryMonitorIsMovedWholeIntoTheWorkArea)
{
    const IntRect work = {0, 0, 1024, 738};
    struct Case {
        IntRect saved, expected;
    } cases[] = {
        {{1100, 100, 1300, 400}, {824, 100, 1024, 400}},           // right of it
        {{-1500, -300, -1200, -100}, {0, 0, 300, 200}},            // above and left
        {{300, 900, 350, 1100}, {300, 538, 350, 738}},             // below
        {{2000, 50, 3200, 900}, {0, 0, 1200, 850}},                // larger: left and top kept in
        {{5000, 5000, 4000, 4000}, {1024, 738, 1024, 738}},        // no size at all
        {{-2000000000, 0, 2000000000, 10}, {0, 0, 32767, 10}},       // a size no screen has
    };
    for (const Case& c : cases) {
        const IntRect r = MoveInside(c.saved, work);
        EXPECT_EQ(c.expected.left, r.left) << c.saved.left;
        EXPECT_EQ(c.expected.top, r.top) << c.saved.left;
        EXPECT_EQ(c.expected.right, r.right) << c.saved.left;
        EXPECT_EQ(c.expected.bottom, r.bottom) << c.saved.left;
    }
    // A work area off the origin, as a second monitor's at negative coordinates.
    const IntRect r = MoveInside({10, 10, 110, 70}, {-1280, -100, 0, 884});
    EXPECT_EQ(-100, r.left);
    EXPECT_EQ(10, r.top);
}

TEST(VisibilityPolicy, ScreenSaverCheckEveryEleventhTickOnlyWithStopSaver)
{
    TimerInput in = PopUp({250, 230});
    in.shown = true;
    in.stopSaver = true;
    int refreshes = 0;
    for (int i = 0; i < 33; ++i)
        refreshes += Tick(in).saver == SaverAction::Refresh;
    EXPECT_EQ(refreshes, 3);
    in.cursor = {100, 100};
    in.saverTicks = 10;
    EXPECT_EQ(DecideTimer(in).saver, SaverAction::HideTitle);
    in.stopSaver = false;
    EXPECT_EQ(DecideTimer(in).saver, SaverAction::None);
    EXPECT_EQ(DecideTimer(in).saverTicks, 11u);
}

TEST(VisibilityPolicy, FixedReadsTheCursorOnlyForTheScreenSaverCheck)
{
    EXPECT_FALSE(TimerNeedsCursor(POPUP_FIXED, false, true, 9));
    EXPECT_TRUE(TimerNeedsCursor(POPUP_FIXED, false, true, 10));
    EXPECT_FALSE(TimerNeedsCursor(POPUP_FIXED, false, false, 10));
    EXPECT_FALSE(TimerNeedsCursor(POPUP_POPUP, true, false, 0));
    EXPECT_TRUE(TimerNeedsCursor(POPUP_POPUP, false, false, 0));
    EXPECT_TRUE(TimerNeedsCursor(POPUP_GROUPUP, false, false, 0));
}

ButtonLayout Layout(int title, int n)
{
    ButtonLayout layout;
    layout.buttonWidth = 32;
    layout.buttonHeight = 32;
    layout.maxInLine = 3;
    layout.itemCount = n;
    layout.titleMode = title;
    layout.captionHeight = 18;  // strip 19
    return layout;
}

TEST(TitleHit, ButtonsStripAndEmptyArea)
{
    const ButtonLayout h = Layout(TITLE_HORIZONTAL, 4);
    // Over item 1: a new popup, then the same one stays.
    TitleHit hit = DecideTitleHit(h, {40, 25}, true, TitleKind::None, -1);
    EXPECT_EQ(hit.action, TitleAction::ShowItem);
    EXPECT_EQ(hit.button.index, 1);
    EXPECT_FALSE(hit.caption);
    EXPECT_EQ(DecideTitleHit(h, {40, 25}, true, TitleKind::Item, 1).action, TitleAction::None);
    EXPECT_EQ(DecideTitleHit(h, {40, 25}, false, TitleKind::None, -1).action, TitleAction::None);
    // The strip: the group's name, once; always the drag handle.
    hit = DecideTitleHit(h, {40, 5}, true, TitleKind::Item, 1);
    EXPECT_EQ(hit.action, TitleAction::ShowGroup);
    EXPECT_TRUE(hit.caption);
    EXPECT_EQ(DecideTitleHit(h, {40, 5}, true, TitleKind::Group, -1).action, TitleAction::None);
    hit = DecideTitleHit(h, {40, 5}, false, TitleKind::None, -1);
    EXPECT_EQ(hit.action, TitleAction::None);
    EXPECT_TRUE(hit.caption);
    // The empty end of the second row removes the popup.
    hit = DecideTitleHit(h, {100, 60}, true, TitleKind::Item, 1);
    EXPECT_EQ(hit.action, TitleAction::Hide);
    EXPECT_FALSE(hit.caption);

    const ButtonLayout v = Layout(TITLE_VERTICAL, 4);
    EXPECT_TRUE(DecideTitleHit(v, {5, 30}, false, TitleKind::None, -1).caption);
    EXPECT_EQ(DecideTitleHit(v, {5, 30}, true, TitleKind::None, -1).action, TitleAction::ShowGroup);
    const ButtonLayout none = Layout(TITLE_NOTHING, 4);
    EXPECT_FALSE(DecideTitleHit(none, {100, 60}, false, TitleKind::None, -1).caption);
}

const IntRect kDesk = {0, 0, 640, 480};

TEST(TitlePlacement, ItemTitleAboveBelowAndOnTheScreen)
{
    const ButtonLayout h = Layout(TITLE_HORIZONTAL, 4);
    const ButtonAtPoint item1 = {true, 1, 1, 0};
    const IntSize popup = TitlePopupSize({50, 16});
    EXPECT_EQ(popup.cx, 61);
    EXPECT_EQ(popup.cy, 27);
    // Client origin (201, 301): cell column 1 at grid x 38, strip 19 down.
    IntPoint at = ItemTitlePosition(h, {201, 301}, item1, popup, kDesk);
    EXPECT_EQ(at.x, 201 + 38 - 1);
    EXPECT_EQ(at.y, 301 + 19 - 27);
    // Window at the top: the strip is too low for the popup above, so below the cell.
    const ButtonLayout n = Layout(TITLE_NOTHING, 4);
    at = ItemTitlePosition(n, {1, 1}, ButtonAtPoint{true, 0, 0, 0}, popup, kDesk);
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 1 - 27 + 38 + 27);
    // Right edge: ends at the screen's right.
    at = ItemTitlePosition(n, {620, 100}, ButtonAtPoint{true, 0, 0, 0}, popup, kDesk);
    EXPECT_EQ(at.x, 640 - 61);
    // Below the screen's bottom (a window partly off the bottom): up to the bottom edge.
    at = ItemTitlePosition(n, {100, 520}, ButtonAtPoint{true, 0, 0, 0}, popup, kDesk);
    EXPECT_EQ(at.y, 480 - 27);
    // A screen lower than the cell and the popup: the popup starts at the top.
    at = ItemTitlePosition(n, {0, 1}, ButtonAtPoint{true, 0, 0, 0}, popup, IntRect{0, 0, 640, 20});
    EXPECT_EQ(at.y, 0);
}

TEST(TitlePlacement, GroupNameAboveBesideOrBelow)
{
    const IntSize popup = {61, 27};
    const ButtonLayout h = Layout(TITLE_HORIZONTAL, 4);
    IntPoint at = GroupTitlePosition(h, {201, 301}, 380, popup, kDesk);
    EXPECT_EQ(at.x, 200);
    EXPECT_EQ(at.y, 301 - 1 - 27);
    // At the top of the screen: just below the window.
    at = GroupTitlePosition(h, {201, 1}, 80, popup, kDesk);
    EXPECT_EQ(at.x, 201);
    EXPECT_EQ(at.y, 80);
    // A little lower, still too high for the popup above it: again just below, not as
    // far again below as the window's top (a screen bottom taken as a client point).
    at = GroupTitlePosition(h, {201, 11}, 90, popup, kDesk);
    EXPECT_EQ(at.y, 90);
    // Below the window would pass the bottom: kept on the screen.
    at = GroupTitlePosition(h, {1, 1}, 470, popup, kDesk);
    EXPECT_EQ(at.y, 480 - 27);
    // Horizontal, reaching past the right edge: ends there.
    at = GroupTitlePosition(h, {600, 200}, 300, popup, kDesk);
    EXPECT_EQ(at.x, 640 - 61);

    const ButtonLayout v = Layout(TITLE_VERTICAL, 4);
    at = GroupTitlePosition(v, {201, 301}, 380, popup, kDesk);
    EXPECT_EQ(at.x, 201 + 19 + 1);
    EXPECT_EQ(at.y, 301 - 27);
    // Vertical strip at the right edge: to the left of the window.
    at = GroupTitlePosition(v, {560, 301}, 380, popup, kDesk);
    EXPECT_EQ(at.x, 560 - 61);
}

}  // namespace
