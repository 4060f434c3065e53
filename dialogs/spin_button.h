// CSpinButton: one arrow (up or down) beside a number field of a dialog. A press steps
// the field's number at once and repeats while the left button is held; the control
// reads and writes the field's text itself and tells its parent nothing. The Set Up
// dialog owns its spin buttons as members and creates their windows with CreateSpin.
#pragma once

#include "dialogs/spin_math.h"
#include "framework/window.h"

#include <cstdint>

// The creation values of one spin button.
struct SpinButtonInit {
    fw::Window* pParent;  // the dialog that holds the buddy field
    int nID;              // the control's own identifier
    int nBuddyID;         // the buddy edit control in pParent
    int nMax;
    int nMin;
    int nStep;            // +1 for an up button, -1 for a down button
    int bWrap;            // 1: past one bound lands on the other
    int16_t nDirection;   // SPIN_UP or SPIN_DOWN: the arrow drawn
    RECT rc;              // in pParent's client coordinates
};

class CSpinButton : public fw::Window {
public:
    CSpinButton() = default;
    ~CSpinButton() override;

    // Copies the values and creates the window. Nobody is told when no window comes of
    // it (m_hWnd stays null): a field without its buttons still works by typing.
    void CreateSpin(const SpinButtonInit& init);

    // Draws the face and the arrow on hdc, or on the window's own DC when hdc is null.
    // 0 when the arrow was drawn; 1 when no arrow was drawn or there was no DC.
    int Draw(HDC hdc = nullptr);
    // Frame, fill and the raised or sunken edges. Returns 0.
    int DrawFace(HDC hdc);
    // The arrow polygon for the current size and look; 1 (nothing written) for no array
    // or a direction other than up or down, else 0.
    int GetArrowPoints(POINT* points);
    // One step of the buddy's number; nothing without a parent window.
    void StepBuddy();

    fw::Window* m_pParent = nullptr;
    int m_nID = 0;
    int m_nBuddyID = 0;
    int m_nMax = 0;
    int m_nMin = 0;
    int m_nStep = 0;
    int m_bWrap = 1;
    int16_t m_nDirection = 0;
    int m_bTracking = 0;
    int16_t m_bPressed = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void OnLButtonDblClk(UINT nFlags, POINT point);
    // The capture went elsewhere (WM_CANCELMODE, WM_CAPTURECHANGED) while tracking.
    void OnCaptureLost();

    // Runs the press-and-repeat loop until the release, a lost capture, a quit
    // message or the end of the window.
    void TrackPress();

    // Set by OnCaptureLost; ends the running loop.
    bool m_bCaptureLost = false;
    // Points at the running loop's flag, which the destructor clears, so that a loop
    // whose object went away while it dispatched touches it no more.
    bool* m_pLoopAlive = nullptr;
};
