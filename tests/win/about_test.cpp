// The About box in this process, against the real dialog manager, key state, memory
// status, user name and display: what it shows, its OK with and without Shift and Ctrl,
// Escape and Close, the three ways in, the bar's timer held off while it is up, and a
// thousand boxes leaving no objects behind.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "dialogs/about_dlg.h"
#include "dialogs/system_facts.h"
#include "resource.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>

using namespace testing_support;

namespace {

const char kCaption[] = "About Quillbar";

// Runs while the About box opens: after its initialisation, before its modal loop. What
// the step leaves open is cancelled, so that no test can hang in the box.
std::function<void(HWND box)> g_whileOpen;
int g_boxesSeen = 0;

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_INITDIALOG && TextOf(sent->hwnd) == kCaption) {
        ++g_boxesSeen;
        // A copy: the step may replace itself.
        if (const auto step = g_whileOpen)
            step(sent->hwnd);
        PostMessageA(sent->hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The state GetKeyState reports to this thread.
void HoldKeys(bool shift, bool control)
{
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string Item(HWND box, int nID)
{
    return TextOf(GetDlgItem(box, nID));
}

class AboutTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchDialogs, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, m_hook);
        g_whileOpen = nullptr;
        g_boxesSeen = 0;
        HoldKeys(false, false);
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(m_hook);
        g_whileOpen = nullptr;
        HoldKeys(false, false);
        AppTest::TearDown();
    }

    // Including the quit that the bar's going posts.
    static void DrainMessages()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // A bar as start-up makes it, with no groups: only its window and its flag matter here.
    HWND StartBar()
    {
        m_app.m_nButtonWidth = 32;
        m_app.m_nButtonHeight = 32;
        m_app.m_nMaxInLine = 3;
        m_app.m_nTitle = TITLE_NOTHING;
        m_app.m_nPopup = POPUP_FIXED;
        m_app.m_rcWindow = {0, 0, 100, 100};
        PrepareBar();
        m_app.m_pButtonWnd = new CButtonBarWnd();
        return m_app.m_pButtonWnd->m_hWnd;
    }

    // Runs a box of its own with this step while it is open; returns the box's result.
    INT_PTR RunBox(const std::function<void(HWND)>& step)
    {
        g_whileOpen = step;
        CAboutDlg dlg(IDS_PRODUCT, IDS_ABOUT_VERSION, IDS_ABOUT_NOTICE);
        return dlg.DoModal();
    }
    HHOOK m_hook = nullptr;
};

TEST_F(AboutTest, ShowsTheVersionAndTheFactsOfThisMachine)
{
    StartBar();
    std::map<int, std::string> shown;
    std::string caption;
    RECT box = {};
    int menuOpen = -1;
    g_whileOpen = [&](HWND hWnd) {
        caption = TextOf(hWnd);
        for (int nID : {IDC_ABOUT_VERSION, IDC_ABOUT_NOTICE, IDC_ABOUT_MEMORY, IDC_ABOUT_CPU,
                        IDC_ABOUT_CPU_COUNT_LABEL, IDC_ABOUT_CPU_COUNT, IDC_ABOUT_USER, IDC_ABOUT_SCREEN,
                        IDC_ABOUT_COLORS})
            shown[nID] = Item(hWnd, nID);
        GetWindowRect(hWnd, &box);
        menuOpen = m_app.m_pButtonWnd->m_bMenuOpen;
    };
    m_app.ShowAbout();
    ASSERT_EQ(1, g_boxesSeen);
    EXPECT_EQ(kCaption, caption);
    EXPECT_EQ("Quillbar Ver1.21", shown[IDC_ABOUT_VERSION]);
    EXPECT_EQ(m_app.LoadResString(IDS_ABOUT_NOTICE), shown[IDC_ABOUT_NOTICE]);
    EXPECT_FALSE(shown[IDC_ABOUT_NOTICE].empty());

    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ("Total Phys. = " + GroupDigits(memory.ullTotalPhys / 1024) + " KB", shown[IDC_ABOUT_MEMORY]);
#ifdef _WIN64
    EXPECT_EQ("CPU = x64", shown[IDC_ABOUT_CPU]);
#endif
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    EXPECT_EQ("Num.of CPU", shown[IDC_ABOUT_CPU_COUNT_LABEL]);
    EXPECT_EQ("= " + std::to_string(info.dwNumberOfProcessors) + " CPU", shown[IDC_ABOUT_CPU_COUNT]);
    char user[256] = {};
    DWORD length = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &length));
    EXPECT_EQ(std::string("USER = ") + user, shown[IDC_ABOUT_USER]);
    EXPECT_EQ("Screen = " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                  std::to_string(GetSystemMetrics(SM_CYSCREEN)),
              shown[IDC_ABOUT_SCREEN]);
    HDC screen = GetDC(nullptr);
    const uint64_t colours = uint64_t{1} << GetDeviceCaps(screen, BITSPIXEL);
    EXPECT_EQ(1, GetDeviceCaps(screen, PLANES));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ("Color = " + GroupDigits(colours) + "Colors", shown[IDC_ABOUT_COLORS]);

    // Centred on the desktop, and the bar's timer held off while up.
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_LE(std::abs((box.left + box.right) - (desktop.left + desktop.right)), 1);
    EXPECT_LE(std::abs((box.top + box.bottom) - (desktop.top + desktop.bottom)), 1);
    EXPECT_EQ(1, menuOpen);
    EXPECT_EQ(0, m_app.m_pButtonWnd->m_bMenuOpen);
}

TEST_F(AboutTest, OkWithShiftAndCtrlShowsTheBuildStampAndStaysOtherwiseItCloses)
{
    std::string before, stamp, memory;
    const INT_PTR result = RunBox([&](HWND box) {
        before = Item(box, IDC_ABOUT_VERSION);
        // The panel is filled afresh: a line cleared here comes back.
        SetDlgItemTextA(box, IDC_ABOUT_MEMORY, "");
        HoldKeys(true, true);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        stamp = Item(box, IDC_ABOUT_VERSION);
        memory = Item(box, IDC_ABOUT_MEMORY);
    });
    EXPECT_EQ(IDCANCEL, result) << "still open for the cancel that follows";
    EXPECT_EQ("Quillbar Ver1.21", before);
    EXPECT_TRUE(IsBuildStamp(stamp)) << stamp;
    EXPECT_EQ(0u, memory.find("Total Phys. = ")) << memory;

    // Neither, or one of the two alone, is a plain OK.
    for (const auto& [shift, control] : {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}}) {
        SCOPED_TRACE(std::string(shift ? "Shift" : "") + (control ? "Ctrl" : ""));
        std::string version;
        EXPECT_EQ(IDOK, RunBox([&](HWND box) {
            HoldKeys(shift, control);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
            version = Item(box, IDC_ABOUT_VERSION);
        }));
        EXPECT_EQ("Quillbar Ver1.21", version);
    }
}

TEST_F(AboutTest, EscapeAndCloseCancelWhateverKeysAreHeld)
{
    // Through the box's own loop: Escape at the focused OK button, Close from the system menu.
    const auto escape = [](HWND box) {
        HoldKeys(true, true);
        HWND ok = GetDlgItem(box, IDOK);
        PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(ok, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    };
    const auto close = [](HWND box) {
        HoldKeys(true, true);
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    for (const auto& step : {std::function<void(HWND)>(escape), std::function<void(HWND)>(close)}) {
        g_boxesSeen = 0;
        EXPECT_EQ(IDCANCEL, RunBox(step));
        EXPECT_EQ(1, g_boxesSeen);
    }
}

TEST_F(AboutTest, EveryWayInRunsTheBoxAndTheBarsFlagIsPutBackAsItWas)
{
    HWND bar = StartBar();
    int menuOpen = -1;
    g_whileOpen = [&](HWND) { menuOpen = m_app.m_pButtonWnd->m_bMenuOpen; };
    SendMessageA(bar, WM_COMMAND, IDM_ABOUT, 0);
    SendMessageA(bar, WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_TRUE(m_app.OnCmdMsg(ID_APP_ABOUT));
    EXPECT_EQ(3, g_boxesSeen);
    EXPECT_EQ(1, menuOpen);
    EXPECT_EQ(0, Bar().m_bMenuOpen);

    // Opened while the group menu is tracked: the menu still holds the timer off afterwards.
    Bar().m_bMenuOpen = 1;
    m_app.ShowAbout();
    EXPECT_EQ(1, Bar().m_bMenuOpen);
    Bar().m_bMenuOpen = 0;

    // A box over a box: closing the inner one keeps the flag for the outer one.
    int afterInner = -1;
    g_whileOpen = [&](HWND) {
        g_whileOpen = nullptr;
        m_app.ShowAbout();
        afterInner = m_app.m_pButtonWnd->m_bMenuOpen;
    };
    m_app.ShowAbout();
    EXPECT_EQ(1, afterInner);
    EXPECT_EQ(0, Bar().m_bMenuOpen);

    // Without a bar (it went at a session's end, say) the box still runs.
    DestroyWindow(bar);
    ASSERT_EQ(nullptr, m_app.m_pButtonWnd);
    DrainMessages();
    g_boxesSeen = 0;
    m_app.ShowAbout();
    EXPECT_EQ(1, g_boxesSeen);
}

TEST_F(AboutTest, AThousandBoxesLeaveNoObjectsBehind)
{
    StartBar();
    m_app.ShowAbout();  // the first box loads the icon and the font that stay loaded
    PumpMessages(20);
    const DWORD gdi = GuiObjectCount(GR_GDIOBJECTS), user = GuiObjectCount(GR_USEROBJECTS);
    const DWORD handles = ProcessHandleCount();
    g_whileOpen = [](HWND box) {
        HoldKeys(true, true);
        SendMessageA(box, WM_COMMAND, IDOK, 0);  // the refill too
        HoldKeys(false, false);
    };
    for (int i = 0; i < 1000; ++i)
        m_app.ShowAbout();
    PumpMessages(20);
    EXPECT_EQ(1001, g_boxesSeen);
    EXPECT_EQ(gdi, GuiObjectCount(GR_GDIOBJECTS));
    EXPECT_EQ(user, GuiObjectCount(GR_USEROBJECTS));
    EXPECT_EQ(handles, ProcessHandleCount());
}

}  // namespace
