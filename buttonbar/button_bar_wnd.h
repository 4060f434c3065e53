// CButtonBarWnd: the floating window of buttons, one per item of the current group.
// Created by CLaunchApp at start-up; it owns itself and is deleted when its window
// is destroyed. Its handlers are listed in the order of its message table.
#pragma once

#include "framework/window.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

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

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
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
};
