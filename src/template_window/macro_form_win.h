#pragma once
// The template settings window: a one-line box holding the log-line template, a heading and the
// token help. Modeless and without an owner, so entries go on in the main window while it is open.

#include <windows.h>

#include <string>

#include "app/ports.h"
#include "platform/handles_win.h"
#include "settings/profile.h"
#include "template_window/template_editor.h"

namespace zelmor::template_window {

class MacroForm {
 public:
  // Its controls carry IDC_MACRO_TEXT1, IDC_MACRO_LABEL2 and IDC_MACRO_LABEL1, its menu IDR_MACROMENU.
  static constexpr wchar_t kClassName[] = L"MacroForm";

  // `instance` holds the window's menu and texts. The icons stay the caller's; `state` and
  // `profile` must outlive this object.
  MacroForm(HINSTANCE instance, HICON icon_big, HICON icon_small, MainState& state,
            settings::Profile& profile);
  // Closes the window (saving the template) when it is still open.
  ~MacroForm();
  MacroForm(const MacroForm&) = delete;
  MacroForm& operator=(const MacroForm&) = delete;

  // Creates and shows the window, or brings the open one forward. False when it could not be made.
  bool Open();
  // Closes the window when it is open; the template is saved as on every close.
  void Close();
  bool IsOpen() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  bool OnCreate();
  void OnCommand(int id, int code);
  LRESULT OnControlColor(HDC dc, HWND control);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnDestroy();
  void OnNcDestroy();

  void MakeFonts(UINT dpi);
  void LayOut(UINT dpi);
  void FitClientArea(UINT dpi);
  std::wstring BoxText() const;

  HINSTANCE instance_;
  HICON icon_big_;
  HICON icon_small_;
  TemplateEditor editor_;

  HWND hwnd_ = nullptr;
  bool loaded_ = false;  // the window finished loading: its close saves the template
  HWND text1_ = nullptr;
  HWND label2_ = nullptr;
  HWND label1_ = nullptr;
  platform::UniqueGdiObject gothic_font_;
  platform::UniqueGdiObject p_gothic_font_;
  platform::UniqueGdiObject background_brush_;
  platform::UniqueGdiObject box_brush_;
};

}  // namespace zelmor::template_window
