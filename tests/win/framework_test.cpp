// The framework's own behaviour: window and dialog attachment, the modal loop and the
// quit message, the main window ending the run, strings, the wait cursor, dialog
// colours and the GDI owners.
#include "framework/app_base.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/window.h"
#include "resource.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace testing_support;

namespace {

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override { m_app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL); }
    void TearDown() override
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    fw::Application m_app;
};

bool TakeQuitMessage(WPARAM* code = nullptr)
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (code)
        *code = msg.wParam;
    return true;
}

class ProbeWindow : public fw::Window {
public:
    explicit ProbeWindow(bool* destroyed) : m_destroyed(destroyed) {}
    bool Create()
    {
        std::string cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
        RECT rc = {0, 0, 50, 40};
        return CreateEx(0, cls, "probe", WS_POPUP, rc, nullptr, nullptr);
    }
    int m_nCreates = 0;
    bool m_bThrow = false;
    bool m_bFailCreate = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            ++m_nCreates;
            return m_bFailCreate ? -1 : 0;
        case WM_USER:
            if (m_bThrow)
                throw std::runtime_error("handler failed");
            return 42;
        default:
            return fw::Window::WindowProc(message, wParam, lParam);
        }
    }
    void PostNcDestroy() override { *m_destroyed = true; }

private:
    bool* m_destroyed;
};

TEST_F(FrameworkTest, WindowAttachesAtCreationAndDetachesWhenDestroyed)
{
    bool destroyed = false;
    ProbeWindow wnd(&destroyed);
    ASSERT_TRUE(wnd.Create());
    HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(1, wnd.m_nCreates);
    EXPECT_EQ(&wnd, fw::Window::FromHandle(hWnd));
    EXPECT_EQ(42, SendMessageA(hWnd, WM_USER, 0, 0));

    // An exception inside a handler never unwinds through the system's frames.
    wnd.m_bThrow = true;
    EXPECT_EQ(0, SendMessageA(hWnd, WM_USER, 0, 0));

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_FALSE(TakeQuitMessage());  // not the main window
}

TEST_F(FrameworkTest, AWindowThatFailsToBeCreatedLeavesItsObjectAlone)
{
    bool destroyed = false;
    ProbeWindow wnd(&destroyed);
    wnd.m_bFailCreate = true;
    EXPECT_FALSE(wnd.Create());
    EXPECT_EQ(1, wnd.m_nCreates);
    EXPECT_FALSE(destroyed);  // a self-owning window would have deleted itself mid-construction
    EXPECT_EQ(nullptr, wnd.m_hWnd);
}

TEST_F(FrameworkTest, DestroyingTheMainWindowPostsTheQuitMessage)
{
    bool destroyed = false;
    ProbeWindow wnd(&destroyed);
    ASSERT_TRUE(wnd.Create());
    m_app.m_pMainWnd = &wnd;
    wnd.DestroyWindow();
    WPARAM code = 1;
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(nullptr, m_app.m_pMainWnd);
}

TEST_F(FrameworkTest, WindowClassesAreRegisteredOncePerAttributeSet)
{
    HBRUSH grey = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILLBAR));
    ASSERT_NE(nullptr, icon);
    std::string a = fw::Window::RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), grey, icon);
    std::string b = fw::Window::RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), grey, icon);
    std::string c = fw::Window::RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), grey, icon);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), a.c_str(), &wc));
    EXPECT_EQ(grey, wc.hbrBackground);
    EXPECT_EQ(icon, wc.hIcon);
    EXPECT_EQ(0u, wc.style);
}

class TimedDialog : public fw::Dialog {
public:
    explicit TimedDialog(UINT id) : fw::Dialog(id) {}
    int m_nInits = 0;
    bool m_bOk = false;
    int m_nOkCommands = 0;
    // What the dialog does once it runs: 1 end with 7, 2 post a quit with code 5.
    int m_nAction = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++m_nInits;
        SetTimer(m_hWnd, 1, 30, nullptr);
        return TRUE;
    }
    void OnOK() override { m_bOk = true; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == IDOK)
            ++m_nOkCommands;
        return fw::Dialog::OnCommand(wParam, lParam);
    }
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            KillTimer(m_hWnd, 1);
            SendMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            if (m_nAction == 1)
                EndDialog(7);
            else
                PostQuitMessage(5);
            return TRUE;
        }
        return fw::Dialog::DialogProc(message, wParam, lParam);
    }
};

TEST_F(FrameworkTest, DoModalRunsUntilEndDialogAndReturnsItsResult)
{
    TimedDialog dlg(IDD_SETUP);
    dlg.m_nAction = 1;
    EXPECT_EQ(7, dlg.DoModal());
    EXPECT_EQ(1, dlg.m_nInits);
    EXPECT_TRUE(dlg.m_bOk);  // IDOK reached OnOK through OnCommand
    EXPECT_EQ(1, dlg.m_nOkCommands);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_FALSE(TakeQuitMessage());
}

TEST_F(FrameworkTest, AQuitMessageEndsTheModalRunAndReachesTheOuterLoop)
{
    TimedDialog dlg(IDD_SETUP);
    dlg.m_nAction = 2;
    dlg.DoModal();
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    WPARAM code = 0;
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(5u, code);
}

TEST_F(FrameworkTest, AQuitEndingTheMainDialogKeepsItsExitCode)
{
    // The main window's destruction must not post the quit again with code 0.
    TimedDialog dlg(IDD_SETUP);
    dlg.m_nAction = 2;
    m_app.m_pMainWnd = &dlg;
    dlg.DoModal();
    EXPECT_EQ(nullptr, m_app.m_pMainWnd);
    WPARAM code = 0;
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(5u, code);

    // Once the quit has been taken, the main window's end posts one again.
    m_app.QuitTaken();
    bool destroyed = false;
    ProbeWindow wnd(&destroyed);
    ASSERT_TRUE(wnd.Create());
    m_app.m_pMainWnd = &wnd;
    wnd.DestroyWindow();
    EXPECT_TRUE(TakeQuitMessage(&code));
    EXPECT_EQ(0u, code);
}

TEST_F(FrameworkTest, DoModalWithAMissingTemplateFailsAtOnce)
{
    TimedDialog dlg(4242);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(0, dlg.m_nInits);
}

TEST_F(FrameworkTest, ModelessDialogIsDestroyedByEndDialog)
{
    TimedDialog dlg(IDD_SETUP);
    ASSERT_TRUE(dlg.Create());
    HWND hWnd = dlg.m_hWnd;
    EXPECT_TRUE(IsWindow(hWnd));
    EXPECT_EQ(1, dlg.m_nInits);
    KillTimer(hWnd, 1);
    dlg.EndDialog(3);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(FrameworkTest, DialogColoursAnswerTheDialogsColourRequests)
{
    TimedDialog dlg(IDD_SETUP);
    ASSERT_TRUE(dlg.Create());
    KillTimer(dlg.m_hWnd, 1);
    HDC hdc = GetDC(dlg.m_hWnd);
    LRESULT plain = SendMessageA(dlg.m_hWnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hdc),
                                 reinterpret_cast<LPARAM>(dlg.m_hWnd));
    m_app.SetDialogBkColor(RGB(255, 255, 255), RGB(0, 0, 0));
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(dlg.m_hWnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hdc),
                                                         reinterpret_cast<LPARAM>(dlg.m_hWnd)));
    ASSERT_NE(nullptr, brush);
    EXPECT_NE(plain, reinterpret_cast<LRESULT>(brush));
    LOGBRUSH lb = {};
    ASSERT_TRUE(GetObjectA(brush, sizeof lb, &lb));
    EXPECT_EQ(RGB(255, 255, 255), lb.lbColor);
    EXPECT_EQ(RGB(255, 255, 255), GetBkColor(hdc));
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(hdc));
    ReleaseDC(dlg.m_hWnd, hdc);
    dlg.EndDialog(0);
}

TEST_F(FrameworkTest, StringsLoadExactlyFromTheStringTable)
{
    EXPECT_EQ("Quillbar", m_app.LoadResString(IDS_APPNAME));
    EXPECT_EQ("Quillbar - Button Window", m_app.LoadResString(IDS_BUTTONWND_TITLE));
    EXPECT_EQ("200,200,232,400,0,606", m_app.LoadResString(IDS_DEFAULT_WINDOW));
    EXPECT_EQ("There are unable values.Please input pertinent values.", m_app.LoadResString(IDS_INVALID_VALUES));
    EXPECT_EQ("Popup", m_app.LoadResString(IDS_KEY_POPUP));
    EXPECT_EQ("", m_app.LoadResString(4711));
    // Longer than the first buffer tried.
    EXPECT_GT(m_app.LoadResString(IDS_LAUNCH_FAILED).size(), 100u);
}

TEST_F(FrameworkTest, TheManifestMakesUtf8TheAnsiCodePage)
{
    // The programs' manifest is part of these resources too: names in every script pass
    // whole through the ANSI interfaces.
    EXPECT_EQ(65001u, GetACP());
}

// The launcher moves the current directory to every item's folder: a library of a
// known name planted there (or beside the program) must never be loaded.
TEST_F(FrameworkTest, LibrariesAreNotLookedForInTheCurrentDirectory)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string marker = path;
    marker = marker.substr(0, marker.rfind('\\')) + "\\dll_marker.dll";
    GetTempPathA(MAX_PATH, path);
    const std::string folder = std::string(path) + "quillbar_planted";
    const std::string loaded = folder + "\\loaded.marker";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(marker.c_str(), (folder + "\\planted.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(marker.c_str(), (folder + "\\CTL3D32.DLL").c_str(), FALSE));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));

    EXPECT_EQ(nullptr, fw::LoadSystemLibrary("planted.dll"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(loaded.c_str()));
    // A plain search reaches the file here: the marker works...
    HMODULE plain = LoadLibraryA("planted.dll");
    EXPECT_NE(nullptr, plain);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(loaded.c_str()));
    FreeLibrary(plain);
    DeleteFileA(loaded.c_str());
    // ...until the start-up takes the current directory out of the search.
    fw::KeepCurrentDirectoryOutOfDllSearch();
    EXPECT_EQ(nullptr, LoadLibraryA("planted.dll"));
    // The 3-D library comes from the system directory.
    if (m_app.Enable3dControls()) {
        GetModuleFileNameA(GetModuleHandleA("CTL3D32.DLL"), path, MAX_PATH);
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        const std::string module = path;
        EXPECT_EQ(0, lstrcmpiA(module.substr(0, std::string(system).size()).c_str(), system)) << module;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(loaded.c_str()));

    SetCurrentDirectoryA(previous);
    DeleteFileA((folder + "\\planted.dll").c_str());
    DeleteFileA((folder + "\\CTL3D32.DLL").c_str());
    DeleteFileA(loaded.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(FrameworkTest, BaseNameDropsDirectoryAndExtension)
{
    EXPECT_EQ("qlbar", fw::BaseNameOfPath("C:\\Program Files\\Tools.d\\qlbar.exe"));
    EXPECT_EQ("my.bar", fw::BaseNameOfPath("D:\\x\\my.bar.EXE"));
    EXPECT_EQ("qlbar", fw::BaseNameOfPath("qlbar"));
    EXPECT_EQ("noext", fw::BaseNameOfPath("C:\\dir.v2\\noext"));
    EXPECT_EQ("", fw::BaseNameOfPath(""));
    EXPECT_EQ("win_tests", m_app.ExeName());
}

TEST_F(FrameworkTest, WaitCursorNestsAndRestoresTheCursor)
{
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    {
        fw::WaitCursor outer;
        EXPECT_EQ(1, m_app.WaitCursorCount());
        EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), GetCursor());
        {
            fw::WaitCursor inner;
            EXPECT_EQ(2, m_app.WaitCursorCount());
        }
        EXPECT_EQ(1, m_app.WaitCursorCount());
        EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), GetCursor());
    }
    EXPECT_EQ(0, m_app.WaitCursorCount());
    EXPECT_EQ(arrow, GetCursor());
    m_app.DoWaitCursor(-1);  // an unmatched end never drives the count below zero
    EXPECT_EQ(0, m_app.WaitCursorCount());
}

TEST_F(FrameworkTest, ObjectCountsSeeCreationAndRelease)
{
    auto cycle = [](int pens, DWORD* gdiInside, DWORD* userInside) {
        std::vector<fw::Pen> owned;
        for (int i = 0; i < pens; ++i)
            owned.emplace_back(CreatePen(PS_SOLID, 1, RGB(i, 0, 0)));
        bool destroyed = false;
        ProbeWindow wnd(&destroyed);
        ASSERT_TRUE(wnd.Create());
        *gdiInside = GuiObjectCount(GR_GDIOBJECTS);
        *userInside = GuiObjectCount(GR_USEROBJECTS);
        wnd.DestroyWindow();
    };
    DWORD gdiInside = 0, userInside = 0;
    cycle(0, &gdiInside, &userInside);  // the first window makes the platform's own caches
    const DWORD gdi = GuiObjectCount(GR_GDIOBJECTS);
    const DWORD user = GuiObjectCount(GR_USEROBJECTS);
    cycle(50, &gdiInside, &userInside);
    EXPECT_GE(gdiInside, gdi + 50);
    EXPECT_GT(userInside, user);
    EXPECT_EQ(gdi, GuiObjectCount(GR_GDIOBJECTS));
    EXPECT_EQ(user, GuiObjectCount(GR_USEROBJECTS));
}

TEST_F(FrameworkTest, GdiOwnersDeleteTheirObjectsAndGuardsRestoreSelections)
{
    HPEN pen = nullptr;
    HBITMAP bitmap = nullptr;
    HDC screen = GetDC(nullptr);
    {
        fw::MemoryDC dc(screen);
        ASSERT_TRUE(dc);
        HGDIOBJ originalPen = GetCurrentObject(dc.get(), OBJ_PEN);
        HGDIOBJ originalBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
        fw::Pen ownedPen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        fw::Bitmap ownedBitmap(CreateCompatibleBitmap(screen, 4, 4));
        pen = ownedPen.get();
        bitmap = ownedBitmap.get();
        {
            fw::SelectGuard selectPen(dc.get(), pen);
            fw::SelectGuard selectBitmap(dc.get(), bitmap);
            EXPECT_EQ(pen, GetCurrentObject(dc.get(), OBJ_PEN));
            EXPECT_EQ(bitmap, GetCurrentObject(dc.get(), OBJ_BITMAP));
        }
        EXPECT_EQ(originalPen, GetCurrentObject(dc.get(), OBJ_PEN));
        EXPECT_EQ(originalBitmap, GetCurrentObject(dc.get(), OBJ_BITMAP));

        fw::Pen moved(std::move(ownedPen));
        EXPECT_FALSE(ownedPen);
        EXPECT_EQ(pen, moved.get());
        EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(pen));
    }
    EXPECT_EQ(0u, GetObjectType(pen));
    EXPECT_EQ(0u, GetObjectType(bitmap));
    ReleaseDC(nullptr, screen);
}

}  // namespace
