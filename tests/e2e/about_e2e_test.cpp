// The real qlbar.exe's About box, opened as another program or the framework opens it
// (the command posted to the bar) and worked with the real mouse and keyboard: what it
// shows of this machine, OK with and without Shift and Ctrl, Escape and Close, and the
// popped-up bar left as it is while the box is up.
#include "dialogs/system_facts.h"
#include "tests/support/group_record_builder.h"
#include "res/resource.h"
#include "tests/support/real_input.h"
#include "tests/support/real_launcher.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace testing_support;

namespace {

const char kCaption[] = "About Quillbar";

class AboutBoxTest : public RealLauncherTest {
protected:
    void SetUp() override
    {
        RealLauncherTest::SetUp();
        GroupRecordBuilder builder(u"About");
        for (int i = 0; i < 3; ++i)
            builder.AddItem(GroupItem{u"Item", u"X.EXE", 10 * i, 0, SolidIcon(4, Rgb(200, 100, 50))});
        ASSERT_TRUE(PutUserGroup("About", builder.Build()));
        Set("Window", "300,200,400,300,-1,600");
        Set("Max", "3");
    }

    // The launcher's About box, or null.
    HWND FindAbout() { return FindWindowOf("#32770", kCaption); }

    // Posts an About command to the bar, as another program may, and waits for the box.
    HWND OpenAbout(UINT command = IDM_ABOUT)
    {
        PostMessageA(m_bar, WM_COMMAND, command, 0);
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindAbout()) != nullptr; }, 5000);
        Sleep(200);  // its own process paints it
        return box;
    }

    bool Closes(HWND box) { return WaitUntil([box] { return !IsWindow(box); }, 3000); }

    // A click on the notice line, which lets clicks through to the box, makes the box the
    // active window.
    void Activate(HWND box)
    {
        Click(CentreOf(GetDlgItem(box, IDC_ABOUT_NOTICE)));
        EXPECT_TRUE(WaitUntil([box] { return GetForegroundWindow() == box; }, 2000));
    }

    // Clicks OK with these keys held. They are pressed again while the button is down, as
    // a held key repeats: Wine forgets injected keys when the click reaches the display.
    void ClickOk(HWND box, const std::initializer_list<WORD>& held)
    {
        Activate(box);
        MoveTo(CentreOf(GetDlgItem(box, IDOK)));
        for (WORD key : held)
            SendKey(key, false);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(60);
        for (WORD key : held)
            SendKey(key, false);
        SendMouse(MOUSEEVENTF_LEFTUP);
        Sleep(150);
        for (WORD key : held)
            SendKey(key, true);
    }
};

std::string Item(HWND box, int nID)
{
    char text[256] = {};
    GetDlgItemTextA(box, nID, text, sizeof text);
    return text;
}

TEST_F(AboutBoxTest, ShowsThisMachineAndItsButtonsWorkAsAUserWorksThem)
{
    MoveTo(POINT{900, 700});
    Start();
    HWND box = OpenAbout();
    ASSERT_NE(nullptr, box) << "no About box";
    EXPECT_TRUE(SaveScreenshot("about-box"));
    // Modal to the Set Up dialog, minimised as it is: it takes no input until the box is gone.
    EXPECT_TRUE(IsIconic(m_dialog));
    EXPECT_FALSE(IsWindowEnabled(m_dialog)) << "the minimised Set Up dialog stays enabled under the box";

    EXPECT_EQ("Quillbar Ver1.21", Item(box, IDC_ABOUT_VERSION));
    EXPECT_FALSE(Item(box, IDC_ABOUT_NOTICE).empty());
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ("Total Phys. = " + GroupDigits(memory.ullTotalPhys >> 10) + " KB", Item(box, IDC_ABOUT_MEMORY));
    EXPECT_EQ("CPU = x64", Item(box, IDC_ABOUT_CPU)) << "Wine on x86-64";
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    EXPECT_EQ("Num.of CPU", Item(box, IDC_ABOUT_CPU_COUNT_LABEL));
    EXPECT_EQ("= " + std::to_string(info.dwNumberOfProcessors) + " CPU", Item(box, IDC_ABOUT_CPU_COUNT));
    char user[256] = {};
    DWORD length = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &length));
    EXPECT_EQ(std::string("USER = ") + user, Item(box, IDC_ABOUT_USER));
    EXPECT_EQ("Screen = 1024x768", Item(box, IDC_ABOUT_SCREEN));
    HDC screen = GetDC(nullptr);
    const uint64_t colours = uint64_t(GetDeviceCaps(screen, PLANES)) << GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ("Color = " + GroupDigits(colours) + "Colors", Item(box, IDC_ABOUT_COLORS));
    const POINT centre = CentreOf(box);
    EXPECT_LE(std::abs(centre.x - 512), 1);
    EXPECT_LE(std::abs(centre.y - 384), 1);

    // Shift and Ctrl with OK: the build stamp, and the box stays.
    ClickOk(box, {VK_SHIFT, VK_CONTROL});
    EXPECT_TRUE(WaitUntil([box] { return IsBuildStamp(Item(box, IDC_ABOUT_VERSION)); }, 3000)) << Item(box, IDC_ABOUT_VERSION);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ("Screen = 1024x768", Item(box, IDC_ABOUT_SCREEN));
    EXPECT_TRUE(SaveScreenshot("about-box-build-stamp"));
    // A plain OK closes it.
    ClickOk(box, {});
    EXPECT_TRUE(Closes(box));
    EXPECT_TRUE(WaitUntil([this] { return IsWindowEnabled(m_dialog) != FALSE; })) << "the dialog stays disabled";

    // One of the two keys alone is a plain OK.
    for (WORD key : {WORD{VK_SHIFT}, WORD{VK_CONTROL}}) {
        box = OpenAbout();
        ASSERT_NE(nullptr, box);
        ClickOk(box, {key});
        EXPECT_TRUE(Closes(box)) << key;
    }

    // The framework's About command; Escape closes, even with Shift and Ctrl held.
    box = OpenAbout(ID_APP_ABOUT);
    ASSERT_NE(nullptr, box) << "no About box for the framework's command";
    EXPECT_EQ("Quillbar Ver1.21", Item(box, IDC_ABOUT_VERSION));
    Activate(box);
    Tap(VK_ESCAPE);
    EXPECT_TRUE(Closes(box)) << "plain";
    box = OpenAbout();
    ASSERT_NE(nullptr, box);
    Activate(box);
    SendKey(VK_SHIFT, false);
    SendKey(VK_CONTROL, false);
    Tap(VK_ESCAPE);
    SendKey(VK_CONTROL, true);
    SendKey(VK_SHIFT, true);
    EXPECT_TRUE(Closes(box));

    // Close from the system menu.
    box = OpenAbout();
    ASSERT_NE(nullptr, box);
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Closes(box));

    // The launcher runs on.
    EXPECT_TRUE(IsWindow(m_bar));
    Quit();
}

TEST_F(AboutBoxTest, ThePoppedUpBarNeitherShowsNorHidesWhileTheBoxIsUp)
{
    Set("Popup", "10101");
    MoveTo(POINT{500, 600});
    Start();
    ASSERT_FALSE(IsWindowVisible(m_bar)) << "hidden at start";

    // Resting on an edge would pop it up; not while the box is up.
    HWND box = OpenAbout();
    ASSERT_NE(nullptr, box);
    MoveTo(POINT{0, 100});
    Sleep(1500);
    EXPECT_FALSE(IsWindowVisible(m_bar));
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Closes(box));
    EXPECT_TRUE(WaitUntil([this] { return IsWindowVisible(m_bar) != FALSE; }, 3000)) << "pops up after";

    // Leaving the bar would hide it; not while the box is up.
    box = OpenAbout();
    ASSERT_NE(nullptr, box);
    MoveTo(POINT{900, 700});
    Sleep(1500);
    EXPECT_TRUE(IsWindowVisible(m_bar));
    EXPECT_TRUE(SaveScreenshot("about-box-over-popped-up-bar"));
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Closes(box));
    EXPECT_TRUE(WaitUntil([this] { return !IsWindowVisible(m_bar); }, 3000)) << "hides after";

    // Closing the launcher as a user does ends it with the box up.
    ASSERT_NE(nullptr, OpenAbout());
    Quit();
}

}  // namespace
