#pragma once
// Driving a modal dialog of this very process: the test's thread runs the dialog (its own message
// loop), while a helper thread finds the dialog and acts on it as the operator would.

#include <windows.h>

#include <functional>
#include <string>

namespace test_support {

// Runs `show` on the calling thread; once a visible dialog with `caption` of that thread appears,
// runs `drive` with it on a helper thread. However `drive` ends, whatever dialog of the calling
// thread is left afterwards is cancelled, so `show` always returns. False when the dialog did not
// appear within 10 s (`drive` was not run).
bool DriveModal(const std::wstring& caption, const std::function<void(HWND dialog)>& drive,
                const std::function<void()>& show);

// The visible dialog box (#32770, a message box too) owned by `owner`; null when none.
HWND OwnedDialog(HWND owner);
// The control with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);
// Selects the item of a combo box whose text is `text` and tells the parent, as a click would.
bool ChooseComboItem(HWND combo, const std::wstring& text);
// The text of a combo box's selected item.
std::wstring ComboText(HWND combo);

}  // namespace test_support
