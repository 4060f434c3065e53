// CButtonBarWnd: the floating window of buttons, one per item of the current group.
// Created by CLaunchApp at start-up; it owns itself and is deleted when its window
// is destroyed. Its handlers are listed in the order of its message table.
#pragma once

#include "buttonbar/geometry.h"
#include "buttonbar/visibility_policy.h"
#include "framework/window.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

class CTitlePopup;

class CButtonBarWnd : public fw::Window {
public:
    // Creates the window, hidden, at the stored rectangle, and starts its timer.
    CButtonBarWnd();
    ~CButtonBarWnd() override;

    // Draws the title strip on hdc, or on the window's own DC when hdc is null.
    BOOL DrawTitleStrip(HDC hdc, BOOL bActive);
    // Reloads the current group, rebuilds the icon strip, resizes, places and repaints.
    BOOL RebuildButtons();
    // Removes the title popup if one is shown.
    void HideTitlePopup();
    // Moves the mouse pointer to a client point of the window.
    void MoveCursorToButton(int x, int y);
    // Reads the primary screen's size and the rectangles of the other monitors for the timer.
    void ReadMonitorLayout();

    // The popup menu's message filter lives only while a menu opened by the mouse is tracked.
    void InstallMenuHook();
    void RemoveMenuHook();

    // Saves the settings and ends the application.
    void QuitLauncher();
    // Switches the "TopMost" stacking and shows the window.
    void ToggleTopMost();
    // Enables the shutdown privilege, then asks the platform to end the session.
    void ExitWindowsWithPrivilege(UINT uFlags);

    // The platform's ExitWindowsEx; tests put a recorder here, as the real call ends
    // every process of the session, theirs included.
    using ExitWindowsFunction = BOOL(WINAPI*)(UINT uFlags, DWORD dwReason);
    static ExitWindowsFunction s_pfnExitWindows;

    static constexpr UINT_PTR kTimerId = 1000;
    static constexpr UINT kTimerInterval = 100;  // milliseconds

    POINT m_ptPressed = {0, 0};
    uint16_t m_nPressedItem = 0;
    uint32_t m_nSaverTicks = 0;
    uint32_t m_nEdgeTicks = 0;
    int m_bCaptured = 0;
    int m_bButtonDown = 0;
    DWORD m_dwMenuTick = 0;
    CTitlePopup* m_pTitlePopup = nullptr;
    int m_nTitleItem = -1;
    UINT_PTR m_nTimer = 0;
    int m_bMenuOpen = 0;
    HHOOK m_hMenuHook = nullptr;
    uint16_t m_nHookPhase = 0;
    POINT m_ptMenu = {0, 0};
    uint16_t m_bKeyboardMenu = 0;
    // Kept between display changes: the timer's tick must stay cheap, and asking for the
    // screen's size costs the platform a look at its display settings each time.
    IntSize m_screen = {0, 0};
    OtherMonitors m_otherMonitors;
    // The layout of the last rebuild: a rebuild to the same one repaints only the images.
    ButtonLayout m_layoutShown;
    bool m_bLayoutShown = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, POINT point);
    void LaunchItem(UINT nFlags, POINT point);
    void OnRButtonDown(UINT nFlags, POINT point);
    void OnMouseMove(UINT nFlags, POINT point);
    LRESULT OnNcHitTest(POINT point);
    void OnDestroy();
    void OnEndSession(BOOL bEnding);
    void OnMove(int x, int y);
    void OnSize(UINT nType, int cx, int cy);
    void LaunchWithFiles(HDROP hDropInfo);
    void OnKillFocus(HWND hWndNew);
    void OnInitMenuPopup(HMENU hMenu, UINT nIndex, BOOL bSysMenu);
    void OnNcLButtonDown(UINT nHitTest, POINT point);
    void OnActivate(UINT nState, HWND hWndOther, BOOL bMinimized);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnQueryOpen();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);

    // Replaces the title popup by a new one of this kind and text; null when none can be made.
    CTitlePopup* NewTitlePopup(int nKind, const std::string& text);
    // Builds the group menu with the "&System" submenu; null when no menu can be made.
    HMENU CreateGroupMenu() const;
    // Escape: gives up the activation as the popup mode says.
    void GiveUpActivation();
    // Draws the pressed button raised or pressed on the window's own DC.
    void DrawPressedButton(bool pressed);

    friend LRESULT CALLBACK MenuFilterProc(int nCode, WPARAM wParam, LPARAM lParam);
};

LRESULT CALLBACK MenuFilterProc(int nCode, WPARAM wParam, LPARAM lParam);
