// The Set Up dialog of the real qlbar.exe, worked with real mouse and keyboard input
// from this process: restoring it, editing and confirming the settings, the arrows
// beside the number fields, the ways it is left, and what the settings file holds after.
#include "tests/support/group_record_builder.h"
#include "res/resource.h"
#include "tests/support/real_input.h"
#include "tests/support/real_launcher.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

const char kInvalidValues[] = "There are unable values.Please input pertinent values.";

enum : int {
    kHeight = IDC_HEIGHT,
    kWidth = IDC_WIDTH,
    kMax = IDC_MAX,
    kTitleNothing = IDC_TITLE_NOTHING,
    kPosTopLeft = IDC_POS_TOPLEFT,
    kPosBottomRight = IDC_POS_BOTTOMRIGHT,
    kPopupFixed = IDC_POPUP_FIXED,
    kPopupPopUp = IDC_POPUP_POPUP,
    kPopupGroupUp = IDC_POPUP_GROUPUP,
    kTopMost = IDC_TOPMOST,
    kStopSaver = IDC_STOPSAVER,
    kCancel = IDC_SETUP_CANCEL,
    kHeightUp = IDC_SPIN_HEIGHT_UP,
    kHeightDown = IDC_SPIN_HEIGHT_DOWN,
};

// A group of `count` items that start nothing when clicked by accident.
void PutGroup(int count)
{
    GroupRecordBuilder builder(u"Tools");
    for (int i = 0; i < count; ++i) {
        builder.AddItem(GroupItem{u"Item " + std::u16string(1, static_cast<char16_t>(u'A' + i)),
                                  u"C:\\NOWHERE\\MISSING.EXE", 10 * i, 0,
                                  SolidIcon(4, Rgb(static_cast<uint8_t>(40 * i), 120, 200))});
    }
    ASSERT_TRUE(PutUserGroup("Tools", builder.Build()));
}

SIZE SizeOf(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

bool IsTopMost(HWND hWnd)
{
    return (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

class SetupDialogTest : public RealLauncherTest {
protected:
    void SetUp() override
    {
        RealLauncherTest::SetUp();
        PutGroup(3);
        // A fixed bar of one row in the bottom-left corner, below the centred dialog, so
        // that no click meant for the dialog lands on a button.
        Set("Popup", "10100");
        Set("Window", "0,0,0,0,-1,604");
        Set("Title", "10000");
        Set("Max", "3");
        Set("Size", "32,32");
        Set("TopMost", "1");
    }

    // What the task bar does when the user clicks the minimised "Quillbar".
    void Restore()
    {
        PostMessageA(m_dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(WaitUntil([this] { return !IsIconic(m_dialog) && IsWindowVisible(m_dialog); }));
        SetForegroundWindow(m_dialog);
        ASSERT_TRUE(WaitUntil([this] { return GetForegroundWindow() == m_dialog; }));
        Sleep(200);
    }

    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    std::string Text(int id) const { return TextOf(Item(id)); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void ClickItem(int id) { Click(CentreOf(Item(id))); }

    // Clicks into a number field (which selects its text) and types over it.
    void Type(int field, const char* text)
    {
        ClickItem(field);
        Sleep(150);
        SendMessageA(Item(field), EM_SETSEL, 0, -1);
        if (*text)
            TypeText(text);
        else
            Tap(VK_DELETE);
    }

    HWND FocusOfLauncher() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(m_dialog, nullptr), &info);
        return info.hwndFocus;
    }

    // A message box of the launcher, other than the dialog, showing this text.
    HWND MessageBoxShowing(const char* text) const
    {
        for (HWND window : TopLevelWindowsOf(m_launcher->Id())) {
            if (window == m_dialog || !IsWindowVisible(window) || ClassNameOf(window) != "#32770")
                continue;
            for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (TextOf(child) == text)
                    return window;
            }
        }
        return nullptr;
    }

    HWND WaitForMessageBox(const char* text) const
    {
        HWND box = nullptr;
        WaitUntil([&] { return (box = MessageBoxShowing(text)) != nullptr; });
        return box;
    }

    // OK with a bad value: the message, then the named field holds the focus, all selected.
    void ExpectRejectedAt(int field, const std::string& shot = "")
    {
        ClickItem(IDOK);
        HWND box = WaitForMessageBox(kInvalidValues);
        ASSERT_NE(nullptr, box) << "no message for the bad value";
        EXPECT_EQ("Quillbar", TextOf(box));
        if (!shot.empty())
            SaveScreenshot(shot);
        Tap(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
        EXPECT_FALSE(IsIconic(m_dialog)) << "the dialog must stay up for the value to be mended";
        EXPECT_TRUE(WaitUntil([&] { return FocusOfLauncher() == Item(field); })) << "focus not on field " << field;
        const int length = static_cast<int>(Text(field).size());
        DWORD selection = static_cast<DWORD>(SendMessageA(Item(field), EM_GETSEL, 0, 0));
        EXPECT_EQ(0, LOWORD(selection));
        EXPECT_EQ(length, HIWORD(selection));
    }

    // Confirms and waits for the dialog to go back to its icon.
    void ConfirmOk()
    {
        ClickItem(IDOK);
        ASSERT_TRUE(WaitUntil([this] { return IsIconic(m_dialog) != FALSE; })) << "OK did not minimise the dialog";
        Sleep(300);
    }

    void ExitAndWait()
    {
        if (IsIconic(m_dialog))
            Restore();
        ClickItem(IDC_EXIT);
        DWORD code = 1234;
        ASSERT_TRUE(m_launcher->WaitForExit(20000, &code)) << "Exit did not end the launcher";
        EXPECT_EQ(0u, code);
        m_launcher.reset();
    }
};

TEST_F(SetupDialogTest, RestoringShowsTheStoredSettingsAndTheArrows)
{
    Set("Size", "20,30");
    Set("Max", "7");
    Set("Title", "12345");  // unknown: shows as no strip
    Set("ButtonTitle", "402");
    Set("Window", "300,200,400,300,-1,603");
    Set("TopMost", "0");
    Set("StopSaver", "1");
    Start();
    Restore();
    EXPECT_EQ("Quillbar", TextOf(m_dialog));
    EXPECT_EQ("30", Text(kHeight));
    EXPECT_EQ("20", Text(kWidth));
    EXPECT_EQ("7", Text(kMax));
    EXPECT_TRUE(Checked(kTitleNothing));
    EXPECT_TRUE(Checked(IDC_POPUPTITLE_ACTIVE));
    EXPECT_TRUE(Checked(IDC_POS_TOPRIGHT));
    EXPECT_FALSE(Checked(kTopMost));
    EXPECT_TRUE(Checked(kStopSaver));
    EXPECT_TRUE(Checked(kPopupFixed));

    // Each field has its two arrows in a square at its right edge, the up arrow on top,
    // one pixel further out where the 3-D controls draw the field's deeper border.
    HMODULE ctl3d = LoadLibraryA("CTL3D32.DLL");
    const int d = ctl3d ? 1 : 0;
    if (ctl3d)
        FreeLibrary(ctl3d);
    for (int field : {kHeight, kWidth, kMax}) {
        const int up = field == kHeight ? IDC_SPIN_HEIGHT_UP : field == kWidth ? IDC_SPIN_WIDTH_UP : IDC_SPIN_MAX_UP;
        HWND upArrow = Item(up), downArrow = Item(up + 1);
        ASSERT_NE(nullptr, upArrow) << field;
        ASSERT_NE(nullptr, downArrow) << field;
        RECT client, upRect, downRect;
        GetClientRect(Item(field), &client);
        MapWindowPoints(Item(field), nullptr, reinterpret_cast<POINT*>(&client), 2);
        GetWindowRect(upArrow, &upRect);
        GetWindowRect(downArrow, &downRect);
        const int s = client.bottom - client.top;
        EXPECT_EQ(client.right + d, upRect.left);
        EXPECT_EQ(client.top, upRect.top);
        EXPECT_EQ(client.right + s + d, upRect.right);
        EXPECT_EQ(upRect.bottom, downRect.top);
        EXPECT_EQ(client.bottom, downRect.bottom);
        EXPECT_EQ(client.top + s / 2, upRect.bottom);
    }
    SaveScreenshot("setup_restored");
}

TEST_F(SetupDialogTest, NumberFieldsTakeOneToNinetyNineAndReportOnlyTheFirstBadOne)
{
    PutGroup(6);
    Start();
    Restore();
    // The smallest values: a bar of six one-pixel buttons in one line.
    Type(kHeight, "1");
    Type(kWidth, "1");
    Type(kMax, "1");
    ConfirmOk();
    Restore();
    Type(kHeight, "99");
    Type(kWidth, "99");
    Type(kMax, "99");
    ConfirmOk();
    const SIZE big = SizeOf(m_bar);
    EXPECT_GE(big.cx, 6 * 99);

    Restore();
    // A third digit does not go in.
    Type(kMax, "123");
    EXPECT_EQ("12", Text(kMax));
    Type(kHeight, "0");
    ExpectRejectedAt(kHeight, "setup_invalid");
    // With the height and the width both bad, the height is the one reported.
    Type(kWidth, "");
    ExpectRejectedAt(kHeight);
    Type(kHeight, "5");
    ExpectRejectedAt(kWidth);
    Type(kWidth, "7");
    Type(kMax, "0");
    ExpectRejectedAt(kMax);
    // Nothing of a rejected OK was taken.
    EXPECT_EQ(big.cx, SizeOf(m_bar).cx);
    EXPECT_EQ(big.cy, SizeOf(m_bar).cy);
    Type(kMax, "2");
    ConfirmOk();
    ExitAndWait();
    EXPECT_EQ("7,5", Saved("Size"));
    EXPECT_EQ("2", Saved("Max"));
}

TEST_F(SetupDialogTest, SizeMaxAndTitleRebuildTheBarButTopMostAloneDoesNot)
{
    Start();
    const SIZE before = SizeOf(m_bar);
    ASSERT_TRUE(IsTopMost(m_bar));
    // A fourth item appears in the registry: only a rebuild shows it.
    PutGroup(4);

    Restore();
    ClickItem(kTopMost);
    ASSERT_FALSE(Checked(kTopMost));
    ConfirmOk();
    EXPECT_TRUE(WaitUntil([this] { return !IsTopMost(m_bar); })) << "the bar stayed topmost";
    EXPECT_TRUE(IsWindowVisible(m_bar));
    EXPECT_EQ(before.cx, SizeOf(m_bar).cx) << "TopMost alone rebuilt the bar";
    EXPECT_EQ(before.cy, SizeOf(m_bar).cy);

    // Max 4: the group is read again and all four buttons stand in one line.
    Restore();
    Type(kMax, "4");
    ConfirmOk();
    EXPECT_FALSE(IsTopMost(m_bar)) << "TopMost was toggled twice";
    EXPECT_EQ(before.cx + 38, SizeOf(m_bar).cx);  // one more 32 + 6 pixel cell
    EXPECT_EQ(before.cy, SizeOf(m_bar).cy);

    // Taller buttons: one row grows by the difference.
    Restore();
    Type(kHeight, "40");
    ConfirmOk();
    EXPECT_EQ(before.cy + 8, SizeOf(m_bar).cy);

    // No title strip: the bar loses the strip's height.
    Restore();
    ClickItem(kTitleNothing);
    ConfirmOk();
    EXPECT_EQ(before.cy + 8 - (GetSystemMetrics(SM_CYCAPTION) + 1), SizeOf(m_bar).cy);
    SaveScreenshot("setup_rebuilt_bar");

    ExitAndWait();
    EXPECT_EQ("0", Saved("TopMost"));
    EXPECT_EQ("32,40", Saved("Size"));
    EXPECT_EQ("10002", Saved("Title"));
}

TEST_F(SetupDialogTest, PopupModesHideTheBarFixedShowsItAndAPositionMovesIt)
{
    Start();
    ASSERT_TRUE(IsWindowVisible(m_bar));
    Restore();
    ClickItem(kPopupPopUp);
    ConfirmOk();
    EXPECT_TRUE(WaitUntil([this] { return !IsWindowVisible(m_bar); })) << "PopUp left the bar shown";

    Restore();
    ClickItem(kPopupGroupUp);
    ConfirmOk();
    EXPECT_FALSE(IsWindowVisible(m_bar));

    Restore();
    ClickItem(kPopupFixed);
    ClickItem(kPosTopLeft);
    ConfirmOk();
    EXPECT_TRUE(WaitUntil([this] { return IsWindowVisible(m_bar) != FALSE; })) << "Fixed did not show the bar";
    RECT rc;
    GetWindowRect(m_bar, &rc);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);

    Restore();
    ClickItem(kPosBottomRight);
    ConfirmOk();
    GetWindowRect(m_bar, &rc);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rc.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rc.bottom);

    ExitAndWait();
    EXPECT_EQ("10100", Saved("Popup"));
    EXPECT_EQ("606", Saved("Window").substr(Saved("Window").rfind(',') + 1));
}

TEST_F(SetupDialogTest, CancelAndEscapePutTheStoredSettingsBackAndMinimise)
{
    Start();
    Restore();
    Type(kHeight, "50");
    ClickItem(kPopupPopUp);
    ClickItem(kCancel);
    ASSERT_TRUE(WaitUntil([this] { return IsIconic(m_dialog) != FALSE; }));
    EXPECT_EQ("32", Text(kHeight));
    EXPECT_TRUE(Checked(kPopupFixed));
    EXPECT_TRUE(IsWindowVisible(m_bar));

    Restore();
    Type(kWidth, "60");
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([this] { return IsIconic(m_dialog) != FALSE; })) << "Escape did not minimise";
    EXPECT_EQ("32", Text(kWidth));

    ExitAndWait();
    EXPECT_EQ("32,32", Saved("Size"));
    EXPECT_EQ("10100", Saved("Popup"));
}

// Exit, Close and Alt+F4 each end the run with what OK confirmed and the dialog's place.
TEST_F(SetupDialogTest, EveryWayOutEndsTheRunAndKeepsWhatWasConfirmed)
{
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way == 0 ? "Exit" : way == 1 ? "Close" : "Alt+F4");
        SetUp();
        Set("StopSaver", "0");
        Start();
        Restore();
        SetWindowPos(m_dialog, nullptr, 100 + way, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Sleep(200);
        RECT place;
        GetWindowRect(m_dialog, &place);
        Type(kWidth, way == 0 ? "21" : way == 1 ? "22" : "23");
        ClickItem(kStopSaver);
        ConfirmOk();
        // An edit not confirmed is not kept.
        Restore();
        Type(kHeight, "44");
        if (way == 0) {
            ClickItem(IDC_EXIT);
        } else if (way == 1) {
            PostMessageA(m_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            const WORD alt = VK_MENU;
            Chord(&alt, 1, VK_F4);
        }
        DWORD code = 1234;
        ASSERT_TRUE(m_launcher->WaitForExit(20000, &code)) << "the launcher did not end";
        EXPECT_EQ(0u, code);
        m_launcher.reset();
        EXPECT_EQ(std::to_string(21 + way) + ",32", Saved("Size"));
        EXPECT_EQ("1", Saved("StopSaver"));
        EXPECT_EQ(std::to_string(place.left) + "," + std::to_string(place.top) + "," + std::to_string(place.right) +
                      "," + std::to_string(place.bottom),
                  Saved("Dialog"));
    }
}

TEST_F(SetupDialogTest, ArrowsStepOncePerClickTwiceOnADoubleClickAndRepeatWhileHeld)
{
    Start();
    Restore();
    const POINT up = CentreOf(Item(kHeightUp));
    const POINT down = CentreOf(Item(kHeightDown));
    Click(up);
    EXPECT_EQ("33", Text(kHeight));
    Click(down);
    Click(down);
    EXPECT_EQ("31", Text(kHeight));
    DoubleClick(up);
    EXPECT_EQ("33", Text(kHeight));

    // Held for 1.4 s: at once, after a second, and a quarter of a second later.
    MoveTo(up);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(1400);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(300);
    EXPECT_EQ("36", Text(kHeight));

    // The arrows wrap at the bounds.
    Type(kHeight, "99");
    Click(up);
    EXPECT_EQ("1", Text(kHeight));
    Click(down);
    EXPECT_EQ("99", Text(kHeight));
    // The width's arrows step theirs, and a typed Max is taken with them.
    Click(CentreOf(Item(IDC_SPIN_WIDTH_DOWN)));
    EXPECT_EQ("31", Text(kWidth));
    Type(kMax, "2");
    SaveScreenshot("setup-spin-edits");
    ConfirmOk();
    // Three buttons of 31 x 99, two to a row, under a horizontal strip.
    const SIZE bar = SizeOf(m_bar);
    EXPECT_EQ((31 + 6) * 2 + 2, bar.cx);
    EXPECT_EQ((99 + 6) * 2 + 2 + GetSystemMetrics(SM_CYCAPTION) + 1, bar.cy);
    SaveScreenshot("setup-spin-applied");
    Quit();
    EXPECT_EQ("31,99", Saved("Size"));
    EXPECT_EQ("2", Saved("Max"));
}

TEST_F(SetupDialogTest, HelpWithoutAHelpFileSaysSo)
{
    Start();
    Restore();
    // The system menu from the keyboard, then its Help entry.
    const WORD alt = VK_MENU;
    Chord(&alt, 1, VK_SPACE);
    // The key must reach the open menu, not the dialog: on a busy machine the menu takes a while.
    ASSERT_TRUE(WaitUntil([] {
        HWND menu = nullptr;
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
            if (IsWindowVisible(menu))
                return true;
        return false;
    })) << "the system menu did not open";
    Tap('H');
    HWND box = WaitForMessageBox("Failed to launch help.");
    ASSERT_NE(nullptr, box) << "Help did not report the missing help file";
    Tap(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    EXPECT_FALSE(IsIconic(m_dialog));
}

}  // namespace
