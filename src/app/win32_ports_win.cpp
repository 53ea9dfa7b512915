#include "app/win32_ports_win.h"

#include "app/resource.h"

namespace zelmor {

std::wstring LoadText(int id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size LoadStringW hands out a pointer into the resource itself, so texts
  // of any length come back whole.
  const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                 reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

namespace app {

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

MessageAnswer Win32MessageBoxes::Show(const std::wstring& text, const std::optional<std::wstring>& title,
                                      MessageButtons buttons, MessageIcon icon) {
  UINT flags = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  if (icon == MessageIcon::Question) flags |= MB_ICONQUESTION;
  if (icon == MessageIcon::Stop) flags |= MB_ICONSTOP;
  // A box without a title of its own carries the application's title.
  const std::wstring caption = title ? *title : LoadText(IDS_APP_TITLE);
  const int answer = MessageBoxW(owner_, text.c_str(), caption.c_str(), flags);
  if (answer == IDYES) return MessageAnswer::Yes;
  if (answer == IDNO) return MessageAnswer::No;
  return MessageAnswer::Ok;
}

void EditLogPane::set_window(HWND edit) {
  edit_ = edit;
  SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
}

std::wstring EditLogPane::Text() { return WindowText(edit_); }

void EditLogPane::SetText(const std::wstring& text) {
  ++changing_;
  SetWindowTextW(edit_, text.c_str());
  --changing_;
}

void EditLogPane::Append(const std::wstring& text) {
  ++changing_;
  // Replacing the empty selection at the end costs a fraction of setting the whole text again.
  // While the control is visible, Wine's EDIT redraws both scroll bars several times in one
  // replacement (about 8 ms each); with the visible bit cleared, as WM_SETREDRAW does on Windows,
  // they are drawn once, by the repaint that follows. Focus and caret are not touched by this.
  const LONG_PTR style = GetWindowLongPtrW(edit_, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  if (visible) SetWindowLongPtrW(edit_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
  const LRESULT end = GetWindowTextLengthW(edit_);
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  if (visible) {
    SetWindowLongPtrW(edit_, GWL_STYLE, GetWindowLongPtrW(edit_, GWL_STYLE) | WS_VISIBLE);
    RedrawWindow(edit_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  }
  --changing_;
}

void EditLogPane::CaretToEnd() {
  const LRESULT end = GetWindowTextLengthW(edit_);
  SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void EditLogPane::SetEnabled(bool enabled) { EnableWindow(edit_, enabled ? TRUE : FALSE); }

std::wstring EditEntryField::Text() { return WindowText(edit_); }

void EditEntryField::Clear() { SetWindowTextW(edit_, L""); }

}  // namespace app
}  // namespace zelmor
