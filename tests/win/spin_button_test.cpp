// The spin buttons under real input: a second thread plays the user's hand with
// SendInput while this thread serves the messages, as the dialog's loop would. Clicks,
// double clicks and holds step the buddy field; dragging off pauses the repeat; a lost
// capture or a quit ends the press; the faces and arrows are checked pixel by pixel.
#include "dialogs/spin_button.h"
#include "resource.h"
#include "framework/gdi.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace testing_support;

namespace {

constexpr int kBuddy = IDC_HEIGHT;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Where the host sits on the screen, and its buttons (32 x 16) in its client area.
constexpr POINT kHostAt = {200, 200};
constexpr RECT kUpRect = {80, 20, 112, 36};
constexpr RECT kDownRect = {80, 36, 112, 52};

// The dialog stand-in: a buddy field and an up and a down button; it notes the time of
// every change of the field, from whichever thread asks, and runs m_whilePressed when
// the hand posts WM_APP, which the press loop dispatches.
class SpinHost : public fw::Window {
public:
    std::function<void()> m_whilePressed;

    std::vector<DWORD> Changes()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_changes;
    }
    size_t ChangeCount() { return Changes().size(); }
    void ForgetChanges()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changes.clear();
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND && LOWORD(wParam) == kBuddy && HIWORD(wParam) == EN_CHANGE) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_changes.push_back(GetTickCount());
        }
        if (message == WM_APP && m_whilePressed)
            m_whilePressed();
        return fw::Window::WindowProc(message, wParam, lParam);
    }

private:
    std::mutex m_mutex;
    std::vector<DWORD> m_changes;
};

COLORREF Pixel(HWND hWnd, int x, int y)
{
    HDC dc = GetDC(hWnd);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return colour;
}

// The look of a 32 x 16 button: raised has a white top-left edge and a grey shadow at
// the right; sunken has a grey top-left edge and nothing at the right.
bool LooksRaised(HWND hWnd)
{
    return Pixel(hWnd, 1, 1) == kWhite && Pixel(hWnd, 30, 8) == kGrey;
}
bool LooksSunken(HWND hWnd)
{
    return Pixel(hWnd, 1, 1) == kGrey && Pixel(hWnd, 30, 8) == kLightGrey;
}

// Serves this thread's messages, waiting for them rather than polling.
void Serve(DWORD milliseconds, int* quitCode = nullptr)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT && quitCode)
                *quitCode = static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// What a thread timer does inside the press loop (which dispatches it).
std::function<void()> g_duringPress;

void CALLBACK DuringPress(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (g_duringPress)
        g_duringPress();
}

// Ends a press that a fault would leave running (any release ends it), so that the case
// fails instead of hanging.
void CALLBACK Rescue(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostThreadMessageA(GetCurrentThreadId(), WM_LBUTTONUP, 0, 0);
}

// A press sent straight to a button, with g_duringPress run 100 ms into it.
void PressWhile(HWND spin, std::function<void()> during)
{
    g_duringPress = std::move(during);
    SetTimer(nullptr, 0, 100, DuringPress);
    const UINT_PTR rescue = SetTimer(nullptr, 0, 3000, Rescue);
    SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(16, 8));
    KillTimer(nullptr, rescue);
}

class SpinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string cls =
            fw::Window::RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr);
        ASSERT_TRUE(m_host.CreateEx(WS_EX_TOPMOST, cls, "Spin host", WS_POPUP | WS_BORDER | WS_VISIBLE,
                                    RECT{kHostAt.x, kHostAt.y, kHostAt.x + 200, kHostAt.y + 80}, nullptr, nullptr));
        m_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 20, 20, 60, 32,
                                 m_host.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBuddy)),
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, m_edit);
        m_up.CreateSpin(SpinButtonInit{&m_host, IDC_SPIN_HEIGHT_UP, kBuddy, 99, 1, +1, 1, SPIN_UP, kUpRect});
        m_down.CreateSpin(SpinButtonInit{&m_host, IDC_SPIN_HEIGHT_DOWN, kBuddy, 99, 1, -1, 1, SPIN_DOWN, kDownRect});
        ASSERT_NE(nullptr, m_up.m_hWnd);
        ASSERT_NE(nullptr, m_down.m_hWnd);
        SetForegroundWindow(m_host.m_hWnd);
        UpdateWindow(m_host.m_hWnd);
        Serve(100);
    }

    void TearDown() override
    {
        g_duringPress = nullptr;
        m_host.DestroyWindow();
        Serve(50);
    }

    void SetBuddy(const char* text)
    {
        SetWindowTextA(m_edit, text);
        m_host.ForgetChanges();
    }
    std::string Buddy() { return TextOf(m_edit); }

    // Screen point of a spin button's client point.
    static POINT On(const CSpinButton& spin, int x = 16, int y = 8)
    {
        POINT point = {x, y};
        ClientToScreen(spin.m_hWnd, &point);
        return point;
    }

    // Runs `hand` on a second thread while this thread serves messages, the press loop
    // included, until the hand is done.
    void WithHand(const std::function<void()>& hand)
    {
        std::atomic<bool> done{false};
        std::thread thread([&] {
            hand();
            done = true;
        });
        while (!done)
            Serve(10);
        thread.join();
        Serve(100);
    }

    // Presses the left button at `at`, holds it for `ms`, releases it.
    void Hold(POINT at, DWORD ms)
    {
        WithHand([&] {
            ASSERT_TRUE(MoveTo(at));
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            Sleep(ms);
            SendMouse(MOUSEEVENTF_LEFTUP);
        });
    }

    SpinHost m_host;
    HWND m_edit = nullptr;
    CSpinButton m_up;
    CSpinButton m_down;
};

TEST_F(SpinButtonTest, ClicksStepOnceEachAndWrapAtTheBounds)
{
    SetBuddy("41");
    Hold(On(m_up), 60);
    EXPECT_EQ("42", Buddy());
    EXPECT_EQ(1u, m_host.ChangeCount());
    EXPECT_EQ(0, m_up.m_bTracking);
    EXPECT_EQ(0, m_up.m_bPressed);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_TRUE(LooksRaised(m_up.m_hWnd));

    SetBuddy("99");
    Hold(On(m_up), 60);
    EXPECT_EQ("1", Buddy());
    Hold(On(m_down), 60);
    EXPECT_EQ("99", Buddy());
    // Unreadable text counts as 0, which is below the minimum after a step down.
    SetBuddy("x");
    Hold(On(m_down), 60);
    EXPECT_EQ("99", Buddy());
    SetBuddy("");
    Hold(On(m_up), 60);
    EXPECT_EQ("1", Buddy());
}

TEST_F(SpinButtonTest, ADoubleClickStepsTwice)
{
    SetBuddy("10");
    WithHand([&] {
        ASSERT_TRUE(MoveTo(On(m_up)));
        for (int click = 0; click < 2; ++click) {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            Sleep(40);
            SendMouse(MOUSEEVENTF_LEFTUP);
            Sleep(40);
        }
    });
    EXPECT_EQ("12", Buddy());
    EXPECT_EQ(2u, m_host.ChangeCount());
}

// A hold of 1.4 s: the press steps, the first repeat comes just over 1000 ms later and
// the second just over 250 ms after that; the third would be due at about 1.5 s.
TEST_F(SpinButtonTest, HoldingRepeatsAfterTheFirstDelayThenFaster)
{
    SetBuddy("5");
    Hold(On(m_down), 1400);
    const std::vector<DWORD> at = m_host.Changes();
    ASSERT_EQ(3u, at.size()) << Buddy();
    EXPECT_EQ("2", Buddy());
    // Strictly more than the delays, and late by no more than a scheduling slice.
    EXPECT_GT(at[1] - at[0], 1000u);
    EXPECT_LT(at[1] - at[0], 1100u);
    EXPECT_GT(at[2] - at[1], 250u);
    EXPECT_LT(at[2] - at[1], 350u);
}

// Under Wine a polling loop spends most of its time blocked in the server's round trips,
// so its own processor time is far below a full core: measured 260 ms in 1.5 s, against
// 0 to 10 ms for a loop that waits. The limit of 5% separates the two.
TEST_F(SpinButtonTest, HoldingWaitsForMessagesInsteadOfPolling)
{
    SetBuddy("50");
    FILETIME created, exited, kernel0, user0, kernel1, user1;
    DWORD wall = 0;
    WithHand([&] {
        ASSERT_TRUE(MoveTo(On(m_up)));
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        ASSERT_TRUE(WaitUntil([&] { return m_host.ChangeCount() == 1; }, 2000));
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel0, &user0);
        const DWORD start = GetTickCount();
        Sleep(1500);
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel1, &user1);
        wall = GetTickCount() - start;
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
    auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const ULONGLONG cpuMs = (ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0)) / 10000;
    EXPECT_LT(cpuMs * 100, wall * 5ull) << cpuMs << " ms of processor time in " << wall << " ms";
    EXPECT_GE(m_host.ChangeCount(), 3u) << "the repeat kept its pace while waiting";
}

TEST_F(SpinButtonTest, DraggingOffPausesAndRaisesDraggingBackResumes)
{
    SetBuddy("20");
    size_t whileOff = 0, afterBack = 0;
    bool sunkenAtPress = false, raisedOff = false, sunkenBack = false, stillSunken = false;
    WithHand([&] {
        ASSERT_TRUE(MoveTo(On(m_up)));
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        sunkenAtPress = WaitUntil([&] { return LooksSunken(m_up.m_hWnd); }, 1000);
        SaveScreenshot("spin-pressed");
        ASSERT_TRUE(MoveTo(On(m_up, 60, 8)));
        raisedOff = WaitUntil([&] { return LooksRaised(m_up.m_hWnd); }, 1000);
        Sleep(1400);  // past the first delay and several repeats
        whileOff = m_host.ChangeCount();
        ASSERT_TRUE(MoveTo(On(m_up)));
        sunkenBack = WaitUntil([&] { return LooksSunken(m_up.m_hWnd); }, 1000);
        Sleep(600);
        afterBack = m_host.ChangeCount();
        stillSunken = LooksSunken(m_up.m_hWnd);
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
    EXPECT_TRUE(sunkenAtPress);
    EXPECT_TRUE(raisedOff);
    EXPECT_EQ(1u, whileOff) << "no repeat while the cursor is off the button";
    EXPECT_TRUE(sunkenBack);
    EXPECT_TRUE(stillSunken);
    // Back on, the 250 ms pace resumes: two or three steps in about 600 ms.
    EXPECT_GE(afterBack, 3u);
    EXPECT_LE(afterBack, 4u);
    EXPECT_TRUE(LooksRaised(m_up.m_hWnd));
    EXPECT_EQ(0, m_up.m_bTracking);
}

TEST_F(SpinButtonTest, ALostCaptureEndsThePressAndRaisesTheButton)
{
    HWND thief = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 600, 20, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, thief);
    const std::vector<std::pair<const char*, std::function<void()>>> takers = {
        {"another window captures", [&] { SetCapture(thief); }},
        {"cancel mode", [&] { SendMessageA(m_up.m_hWnd, WM_CANCELMODE, 0, 0); }},
    };
    for (const auto& taker : takers) {
        SetBuddy("30");
        m_host.m_whilePressed = taker.second;
        bool raisedWhileHeld = false;
        WithHand([&] {
            ASSERT_TRUE(MoveTo(On(m_up)));
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            ASSERT_TRUE(WaitUntil([&] { return m_host.ChangeCount() == 1; }, 2000));
            Sleep(200);
            PostMessageA(m_host.m_hWnd, WM_APP, 0, 0);
            Sleep(1300);
            raisedWhileHeld = LooksRaised(m_up.m_hWnd);
            SendMouse(MOUSEEVENTF_LEFTUP);
        });
        EXPECT_EQ("31", Buddy()) << taker.first << ": no repeat after the capture went";
        EXPECT_TRUE(raisedWhileHeld) << taker.first;
        EXPECT_EQ(0, m_up.m_bTracking) << taker.first;
        EXPECT_EQ(0, m_up.m_bPressed) << taker.first;
        EXPECT_NE(m_up.m_hWnd, GetCapture()) << taker.first;
        ReleaseCapture();
    }
    m_host.m_whilePressed = nullptr;
    DestroyWindow(thief);
}

TEST_F(SpinButtonTest, AQuitOrTheWindowsEndDuringAPressEndsIt)
{
    // The quit is put back for the outer loop, with its code.
    SetBuddy("7");
    PressWhile(m_up.m_hWnd, [] { PostQuitMessage(7); });
    EXPECT_EQ(0, m_up.m_bTracking);
    EXPECT_TRUE(LooksRaised(m_up.m_hWnd));
    int quitCode = -1;
    Serve(50, &quitCode);
    EXPECT_EQ(7, quitCode);

    // The button's window goes while it is held.
    PressWhile(m_up.m_hWnd, [&] { DestroyWindow(m_up.m_hWnd); });
    EXPECT_EQ(nullptr, m_up.m_hWnd);
    EXPECT_EQ(0, m_up.m_bTracking);
    EXPECT_EQ(nullptr, GetCapture());

    // The whole object goes while it is held.
    auto* doomed = new CSpinButton;
    doomed->CreateSpin(SpinButtonInit{&m_host, 197, kBuddy, 99, 1, +1, 1, SPIN_UP, RECT{120, 20, 152, 36}});
    ASSERT_NE(nullptr, doomed->m_hWnd);
    const HWND doomedWnd = doomed->m_hWnd;
    PressWhile(doomedWnd, [&] { delete doomed; });
    EXPECT_FALSE(IsWindow(doomedWnd));
    EXPECT_EQ("10", Buddy()) << "the step at each press, and nothing after the end";
}

TEST_F(SpinButtonTest, FacesAndArrowsArePaintedAsDesigned)
{
    SetBuddy("42");
    Serve(50);
    SaveScreenshot("spin-raised");
    HWND up = m_up.m_hWnd;
    HWND down = m_down.m_hWnd;
    // Raised: black frame, white highlight, grey shadow, light grey face.
    EXPECT_EQ(kBlack, Pixel(up, 0, 0));
    EXPECT_EQ(kBlack, Pixel(up, 31, 15));
    EXPECT_EQ(kWhite, Pixel(up, 1, 1));
    EXPECT_EQ(kWhite, Pixel(up, 1, 13));
    EXPECT_EQ(kGrey, Pixel(up, 30, 1));
    EXPECT_EQ(kGrey, Pixel(up, 16, 14));
    EXPECT_EQ(kLightGrey, Pixel(up, 4, 8));
    // Up arrow on 32 x 16: base 10..21 on row 10 (odd, so a tip two pixels wide at row 5).
    for (POINT p : {POINT{15, 5}, POINT{16, 5}, POINT{10, 10}, POINT{21, 10}, POINT{15, 8}})
        EXPECT_EQ(kBlack, Pixel(up, p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{15, 4}, POINT{9, 10}, POINT{22, 10}, POINT{15, 11}})
        EXPECT_EQ(kLightGrey, Pixel(up, p.x, p.y)) << p.x << "," << p.y;
    // Down arrow: the same upside down.
    for (POINT p : {POINT{15, 10}, POINT{16, 10}, POINT{10, 5}, POINT{21, 5}})
        EXPECT_EQ(kBlack, Pixel(down, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(kLightGrey, Pixel(down, 15, 11));

    // Pressed: grey top-left edge, no highlight or right shadow, arrow one pixel right and down.
    m_up.m_bPressed = 1;
    m_up.Draw();
    EXPECT_EQ(kBlack, Pixel(up, 0, 0));
    EXPECT_EQ(kGrey, Pixel(up, 1, 1));
    EXPECT_EQ(kGrey, Pixel(up, 1, 13));
    EXPECT_EQ(kLightGrey, Pixel(up, 30, 8));
    EXPECT_EQ(kBlack, Pixel(up, 16, 6));
    EXPECT_EQ(kBlack, Pixel(up, 17, 6));
    EXPECT_EQ(kLightGrey, Pixel(up, 15, 5));
    m_up.m_bPressed = 0;

    // An unknown direction draws the face only.
    m_up.m_nDirection = 2;
    EXPECT_EQ(1, m_up.Draw());
    EXPECT_EQ(kLightGrey, Pixel(up, 15, 8));
    POINT points[4];
    EXPECT_EQ(1, m_up.GetArrowPoints(points));
    EXPECT_EQ(1, m_up.GetArrowPoints(nullptr));
    m_up.m_nDirection = SPIN_UP;
}

TEST_F(SpinButtonTest, DrawingReleasesEveryObject)
{
    const DWORD before = GuiObjectCount(GR_GDIOBJECTS);
    for (int i = 0; i < 300; ++i) {
        m_up.m_bPressed = static_cast<int16_t>(i % 2);
        m_up.Draw();
        InvalidateRect(m_down.m_hWnd, nullptr, FALSE);
        UpdateWindow(m_down.m_hWnd);
    }
    m_up.m_bPressed = 0;
    EXPECT_EQ(before, GuiObjectCount(GR_GDIOBJECTS));
}

TEST_F(SpinButtonTest, WithoutAParentNothingIsCreatedOrStepped)
{
    CSpinButton orphan;
    orphan.CreateSpin(SpinButtonInit{nullptr, 5, kBuddy, 99, 1, +1, 1, SPIN_UP, RECT{0, 0, 10, 10}});
    EXPECT_EQ(nullptr, orphan.m_hWnd);
    EXPECT_EQ(1, orphan.Draw());
    orphan.StepBuddy();  // no parent window to find a buddy in: nothing to step, nothing to fault
}

}  // namespace
