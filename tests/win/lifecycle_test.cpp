// A whole run of the application object in this process: start-up, the Set Up
// dialog's modal loop serving everything, the ways the run ends, and the settings
// written on the way out.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "dialogs/setup_dlg.h"
#include "resource.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace testing_support;

namespace {

// What a scenario does once the dialog runs; called from a thread timer inside the modal loop.
std::function<void()> g_whileRunning;
bool g_ranWhileRunning = false;
UINT_PTR g_watchdog = 0;

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD);

void CALLBACK RunScenario(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_ranWhileRunning = true;
    if (g_whileRunning)
        g_whileRunning();
    // From here the run must end by itself. The scenario's own length does not count: a
    // thousand rounds of it outlasted 15 s on a loaded machine.
    g_watchdog = SetTimer(nullptr, 0, 15000, Watchdog);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    ADD_FAILURE() << "the run did not end by itself";
    PostQuitMessage(99);
}

class LifecycleTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        g_ranWhileRunning = false;
        // The registry holds no group: the first run's question would hold up every run.
        WriteProfile(m_app.ProfileName(), "Quillbar", "AskImport", "0");
    }

    void TearDown() override
    {
        AppTest::TearDown();
        g_whileRunning = nullptr;
    }

    // Start-up and the run, then the framework's loop and exit processing; returns the exit code.
    int RunApp(std::function<void()> whileRunning)
    {
        g_whileRunning = std::move(whileRunning);
        UINT_PTR scenario = SetTimer(nullptr, 0, 200, RunScenario);
        BOOL started = m_app.InitInstance();
        EXPECT_TRUE(started);
        int code = started ? m_app.Run() : m_app.ExitInstance();
        KillTimer(nullptr, scenario);
        KillTimer(nullptr, g_watchdog);
        g_watchdog = 0;
        EXPECT_TRUE(g_ranWhileRunning);
        return code;
    }

    std::string Get(const char* key) { return ReadProfile(m_app.ProfileName(), "Quillbar", key); }

    void ExpectObjectsFreed()
    {
        EXPECT_EQ(nullptr, m_app.m_pSetupDlg);
        EXPECT_EQ(nullptr, m_app.m_pMainWnd);
        EXPECT_FALSE(m_app.m_iconStrip);
        EXPECT_TRUE(m_app.m_groupSources.empty());
        EXPECT_EQ(0, m_app.WaitCursorCount());
    }
};

TEST_F(LifecycleTest, StartShowsTheBarAndTheMinimisedSetUpDialogAndClosingEndsTheRun)
{
    int code = RunApp([this] {
        ASSERT_NE(nullptr, m_app.m_pSetupDlg);
        HWND dialog = m_app.m_pSetupDlg->m_hWnd;
        ASSERT_TRUE(IsWindow(dialog));
        EXPECT_EQ(m_app.m_pSetupDlg.get(), m_app.m_pMainWnd);
        EXPECT_TRUE(IsIconic(dialog));
        EXPECT_EQ("Quillbar", TextOf(dialog));
        EXPECT_EQ("32", [&] {
            char text[8] = {};
            GetDlgItemTextA(dialog, IDC_HEIGHT, text, sizeof text);
            return std::string(text);
        }());

        ASSERT_NE(nullptr, m_app.m_pButtonWnd);
        HWND bar = m_app.m_pButtonWnd->m_hWnd;
        ASSERT_TRUE(IsWindow(bar));
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_EQ(SW_SHOWNORMAL, m_app.m_nCmdShow);
        EXPECT_EQ("Quillbar - Button Window", TextOf(bar));
        LONG style = GetWindowLongA(bar, GWL_STYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_TRUE(style & WS_BORDER);
        EXPECT_FALSE(style & WS_CAPTION & ~WS_BORDER);
        EXPECT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);  // "TopMost" defaults to 1
        EXPECT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        // No groups: one empty 32 x 32 cell beside the vertical strip, in the bottom-right corner.
        RECT rc;
        GetWindowRect(bar, &rc);
        const int t = GetSystemMetrics(SM_CYCAPTION) + 1;
        EXPECT_EQ(32 + 8 + t, rc.right - rc.left);
        EXPECT_EQ(32 + 8, rc.bottom - rc.top);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rc.right);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rc.bottom);
        EXPECT_EQ(GetStockObject(LTGRAY_BRUSH), reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(bar, GCLP_HBRBACKGROUND)));
        EXPECT_NE(0, GetClassLongPtrA(bar, GCLP_HICON));
        EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HCURSOR>(GetClassLongPtrA(bar, GCLP_HCURSOR)));
        EXPECT_EQ(CButtonBarWnd::kTimerId, m_app.m_pButtonWnd->m_nTimer);

        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, code);
    ExpectObjectsFreed();
    // The bar's place in its corner is what it keeps.
    const int right = GetSystemMetrics(SM_CXSCREEN), bottom = GetSystemMetrics(SM_CYSCREEN);
    const int width = 32 + 8 + GetSystemMetrics(SM_CYCAPTION) + 1;
    EXPECT_EQ(std::to_string(right - width) + "," + std::to_string(bottom - 40) + "," + std::to_string(right) + "," +
                  std::to_string(bottom) + ",-1,606",
              Get("Window"));
    EXPECT_EQ("1", Get("TopMost"));
    EXPECT_EQ("10001", Get("Title"));
}

TEST_F(LifecycleTest, PopupModesStartWithTheBarHiddenAndTopMostZeroLeavesItUnstacked)
{
    WriteProfile(m_app.ProfileName(), "Quillbar", "Popup", "10101");
    WriteProfile(m_app.ProfileName(), "Quillbar", "TopMost", "0");
    RunApp([this] {
        HWND bar = m_app.m_pButtonWnd->m_hWnd;
        EXPECT_EQ(SW_HIDE, m_app.m_nCmdShow);
        EXPECT_FALSE(IsWindowVisible(bar));
        EXPECT_FALSE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
        PostMessageA(m_app.m_pSetupDlg->m_hWnd, WM_COMMAND, IDC_EXIT, 0);
    });
    ExpectObjectsFreed();
    EXPECT_EQ("10101", Get("Popup"));
    EXPECT_EQ("0", Get("TopMost"));
}

TEST_F(LifecycleTest, SettingsChangedDuringTheRunAreSavedAtExit)
{
    RunApp([this] {
        m_app.m_nGroup = 4;
        m_app.m_rcDialog = {10, 20, 30, 40};
        PostMessageA(m_app.m_pSetupDlg->m_hWnd, WM_COMMAND, IDC_EXIT, 0);
    });
    EXPECT_EQ("4", Get("Group"));
    EXPECT_EQ("10,20,30,40", Get("Dialog"));
}

TEST_F(LifecycleTest, ClosingTheButtonWindowSavesAndEndsTheRunThroughTheModalLoop)
{
    RunApp([this] {
        m_app.m_nGroup = 2;
        PostMessageA(m_app.m_pButtonWnd->m_hWnd, WM_CLOSE, 0, 0);
    });
    // The bar's destruction deleted its object; the application keeps no stale pointer.
    EXPECT_EQ(nullptr, m_app.m_pButtonWnd);
    ExpectObjectsFreed();
    EXPECT_EQ("2", Get("Group"));
}

TEST_F(LifecycleTest, ClosingEveryTopLevelWindowAtOnceEndsTheRun)
{
    RunApp([this] {
        PostMessageA(m_app.m_pButtonWnd->m_hWnd, WM_CLOSE, 0, 0);
        PostMessageA(m_app.m_pSetupDlg->m_hWnd, WM_CLOSE, 0, 0);
    });
    ExpectObjectsFreed();
    EXPECT_EQ("606", Get("Window").substr(Get("Window").rfind(',') + 1));
}

TEST_F(LifecycleTest, CancelAndOkMinimiseTheDialogWithoutEndingTheRun)
{
    RunApp([this] {
        HWND dialog = m_app.m_pSetupDlg->m_hWnd;
        ShowWindow(dialog, SW_RESTORE);
        SetDlgItemTextA(dialog, 358, "7");
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
        PumpMessages(100);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(IsIconic(dialog));
        char text[8] = {};
        GetDlgItemTextA(dialog, IDC_HEIGHT, text, sizeof text);
        EXPECT_STREQ("32", text);

        ShowWindow(dialog, SW_RESTORE);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        PumpMessages(100);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(IsIconic(dialog));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ("32,32", Get("Size"));
}

TEST_F(LifecycleTest, OkAThousandTimesLeavesTheObjectCountsWhereTheyWere)
{
    RunApp([this] {
        HWND dialog = m_app.m_pSetupDlg->m_hWnd;
        ShowWindow(dialog, SW_RESTORE);
        auto ok = [dialog](int height) {
            SetDlgItemInt(dialog, IDC_HEIGHT, static_cast<UINT>(height), FALSE);
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            PumpMessages(0);
        };
        // The first rounds make whatever lives for the whole run.
        ok(30);
        ok(31);
        const DWORD gdi = GuiObjectCount(GR_GDIOBJECTS);
        const DWORD user = GuiObjectCount(GR_USEROBJECTS);
        // Every other OK changes the height, so half of them rebuild the bar.
        for (int i = 0; i < 1000; ++i)
            ok(30 + (i / 2) % 2);
        PumpMessages(100);
        EXPECT_EQ(gdi, GuiObjectCount(GR_GDIOBJECTS));
        EXPECT_EQ(user, GuiObjectCount(GR_USEROBJECTS));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ("32,31", Get("Size"));
}

// The arrows' square sits at the field's right edge, one pixel further out with the 3-D
// controls, whose fields draw a deeper border.
TEST_F(LifecycleTest, ArrowsStandBesideEachFieldWithAndWithoutThe3dControls)
{
    WriteProfile(m_app.ProfileName(), "Quillbar", "Dialog", "40,50,0,0");
    RunApp([this] {
        HWND main = m_app.m_pSetupDlg->m_hWnd;
        ShowWindow(main, SW_RESTORE);
        RECT placed;
        GetWindowRect(main, &placed);
        EXPECT_EQ(40, placed.left);
        EXPECT_EQ(50, placed.top);
        // Help and About close the system menu, after a separator.
        HMENU system = GetSystemMenu(main, FALSE);
        ASSERT_NE(nullptr, system);
        const int count = GetMenuItemCount(system);
        ASSERT_GE(count, 3);
        EXPECT_EQ(2000u, GetMenuItemID(system, count - 1));
        EXPECT_EQ(2004u, GetMenuItemID(system, count - 2));
        EXPECT_TRUE(GetMenuState(system, static_cast<UINT>(count - 3), MF_BYPOSITION) & MF_SEPARATOR);
        char label[64] = {};
        GetMenuStringA(system, IDM_ABOUT, label, sizeof label, MF_BYCOMMAND);
        EXPECT_STREQ("&About Quillbar...", label);
        GetMenuStringA(system, IDM_HELP, label, sizeof label, MF_BYCOMMAND);
        EXPECT_STREQ("&Help", label);
        ShowWindow(main, SW_MINIMIZE);
        for (int threeD = 0; threeD < 2; ++threeD) {
            SCOPED_TRACE(threeD);
            m_app.m_b3dControls = threeD;
            CSetupDlg dlg(nullptr);
            ASSERT_TRUE(dlg.Create());
            ShowWindow(dlg.m_hWnd, SW_RESTORE);
            SetWindowPos(dlg.m_hWnd, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE);
            PumpMessages(200);
            for (int field : {358, 359, 313}) {
                const int up = field == 358 ? 191 : field == 359 ? 193 : 195;
                RECT client, arrow;
                HWND edit = GetDlgItem(dlg.m_hWnd, field);
                GetClientRect(edit, &client);
                MapWindowPoints(edit, dlg.m_hWnd, reinterpret_cast<POINT*>(&client), 2);
                HWND upArrow = GetDlgItem(dlg.m_hWnd, up);
                ASSERT_NE(nullptr, upArrow);
                GetWindowRect(upArrow, &arrow);
                MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&arrow), 2);
                EXPECT_EQ(client.right + threeD, arrow.left);
                EXPECT_EQ(client.right + threeD + (client.bottom - client.top), arrow.right);
            }
            SaveScreenshot(threeD ? "setup_3d_on" : "setup_3d_off");
            dlg.DestroyWindow();
        }
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
}

TEST_F(LifecycleTest, EndSessionSavesTheSettings)
{
    RunApp([this] {
        m_app.m_nGroup = 6;
        SendMessageA(m_app.m_pButtonWnd->m_hWnd, WM_ENDSESSION, FALSE, 0);
        EXPECT_EQ("6", Get("Group"));
        PostMessageA(m_app.m_pSetupDlg->m_hWnd, WM_CLOSE, 0, 0);
    });
}

// What each About box saw of its owner once its own loop ran.
struct AboutSeen {
    HWND owner;
    bool ownerEnabled;
};
std::vector<AboutSeen> g_aboutSeen;

// Looks once the box's own loop runs: some ways in post the command that opens it.
void CALLBACK LookAtTheAboutBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindWindowA(nullptr, "About Quillbar");
    if (!box || !IsWindowVisible(box))
        return;
    KillTimer(nullptr, id);
    HWND owner = GetWindow(box, GW_OWNER);
    g_aboutSeen.push_back({owner, owner && IsWindowEnabled(owner)});
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(LifecycleTest, TheAboutBoxIsModalToTheSetUpDialogWhicheverWayItOpens)
{
    g_aboutSeen.clear();
    HWND setUp = nullptr;
    RunApp([this, &setUp] {
        HWND dialog = setUp = m_app.m_pSetupDlg->m_hWnd;
        HWND bar = m_app.m_pButtonWnd->m_hWnd;
        const auto open = [dialog](HWND to, UINT message, WPARAM command) {
            const size_t before = g_aboutSeen.size();
            SetTimer(nullptr, 0, 50, LookAtTheAboutBox);
            SendMessageA(to, message, command, 0);
            for (int i = 0; i < 100 && (g_aboutSeen.size() == before || !IsWindowEnabled(dialog)); ++i)
                PumpMessages(20);
            EXPECT_EQ(before + 1, g_aboutSeen.size());
            EXPECT_TRUE(IsWindowEnabled(dialog)) << "enabled again once the box is gone";
        };
        open(dialog, WM_SYSCOMMAND, IDM_ABOUT);  // its system menu, while minimised
        open(bar, WM_COMMAND, IDM_ABOUT);        // the bar's command
        ShowWindow(dialog, SW_RESTORE);
        open(dialog, WM_SYSCOMMAND, IDM_ABOUT);  // restored
        open(dialog, WM_COMMAND, ID_APP_ABOUT);  // the framework's About, routed on from the dialog
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(4u, g_aboutSeen.size());
    for (const AboutSeen& seen : g_aboutSeen) {
        EXPECT_EQ(setUp, seen.owner);
        EXPECT_FALSE(seen.ownerEnabled);
    }
}

TEST_F(LifecycleTest, FreeObjectsTwiceFindsNothingTheSecondTime)
{
    m_app.LoadSettings();
    m_app.FreeObjects();
    m_app.FreeObjects();
    EXPECT_EQ(0, m_app.ExitInstance());
    EXPECT_EQ("32,32", Get("Size"));
}

}  // namespace
