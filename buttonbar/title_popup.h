// CTitlePopup: the small window over the button window that names the item under the
// cursor or the current group. The button window creates one when its hit test asks
// for it and deletes it (never merely hides it) when it should go; at most one exists.
#pragma once

#include "framework/dialog.h"

#include <string>

class CButtonBarWnd;

class CTitlePopup : public fw::Dialog {
public:
    // Creates the popup over its owner, invisible until placed; m_hWnd stays null when
    // that fails.
    explicit CTitlePopup(CButtonBarWnd* pOwner);
    ~CTitlePopup() override;

    static constexpr int kKindItem = 0;
    static constexpr int kKindGroup = 1;

    // The popup's size for m_strText: the text and kTitlePopupMargin pixels.
    SIZE Measure(int stripHeight) const;

    int m_nKind = kKindItem;
    std::string m_strText;
    CButtonBarWnd* m_pOwner;  // the button window it belongs to, which outlives it

protected:
    BOOL OnInitDialog() override { return TRUE; }
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void OnSetCursor();
};
