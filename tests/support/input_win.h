#pragma once
// Keys and copies as another program makes them: characters to a control, text put on the
// clipboard, an item picked in a pop-up menu.

#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

// Characters as the control's procedure sees them, each handled before the call returns: posted
// ones would race the check that follows, and a posted WM_KEYDOWN would be translated into a
// second Enter by the receiver's message loop. "\r" is Enter.
void SendChars(HWND control, const std::wstring& text);
// Enter, sent; false when the control did not answer within `ms`.
bool SendEnter(HWND control, DWORD ms = 15000);
// Characters posted: the receiver works through them on its own, while the test goes on.
void PostChars(HWND control, const std::wstring& text);
// Enter, posted: for a receiver that is expected to be stuck in handling it.
void PressEnter(HWND control);

// True when the control's window stands on an X display, which real key events need.
bool OnXDisplay(HWND control);
// Real key events through the X display (xdotool), as the operator makes them: a click into
// `control` gives it the keyboard (unless `click` is false: the keyboard is there already and the
// caret stays where it is), then `text` is typed key by key (ASCII without quotes), then each of
// `keys` (xdotool's key names, e.g. "Return") is pressed, one xdotool after the other so that the
// events keep their order. Started, not waited for: the caller watches for the effect.
bool TypeThroughDisplay(HWND control, const std::string& text, const std::vector<std::string>& keys = {},
                        bool click = true);

// Unicode text put on the clipboard with this process as its owner, as any editor copies.
bool PutClipboardText(const std::wstring& text);
// No item of a fresh pop-up menu is highlighted: `item` times Down, then Enter, picks item `item`
// (counted from 1).
void PickMenuItem(HWND menu, int item);
// An item of the window's menu bar chosen by its underlined letters, as Alt+`bar_letter` and then
// `item_letter` choose it: the bar's drop-down opened, then its item picked. False when the
// drop-down did not come, or stayed.
bool ChooseFromMenuBar(HWND window, wchar_t bar_letter, wchar_t item_letter);

}  // namespace test_support
