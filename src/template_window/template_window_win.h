#pragma once
// The template settings window: a one-line box holding the log-line template, a heading and the
// token help. Modeless and without an owner, so entries go on in the main window while it is open.

#include <windows.h>

#include "base/handles_win.h"
#include "base/main_state.h"
#include "settings/profile.h"
#include "template_window/template_editor.h"
#include "window/base_window_win.h"

namespace zelmor::template_window {

class TemplateWindow : public window::Window {
 public:
  // Its controls carry IDC_TEMPLATE_BOX, IDC_TEMPLATE_HEADING and IDC_TEMPLATE_HELP, its menu
  // IDR_TEMPLATE_MENU.
  static constexpr wchar_t kClassName[] = L"MacroForm";

  // `instance` holds the window's menu, icon and texts; `state` and `profile` must outlive this.
  TemplateWindow(HINSTANCE instance, MainState& state, settings::Profile& profile);
  // Closes the window (saving the template) when it is still open.
  ~TemplateWindow() override;

  // Creates and shows the window, or brings the open one forward. False when it could not be made.
  bool Open();
  // Closes the window when it is open; the template is saved as on every close.
  void Close();
  bool IsOpen() const { return hwnd() != nullptr; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnWindowGone() override;

 private:
  bool OnCreate();
  void OnCommand(int id, int code);
  LRESULT OnControlColor(HDC dc, HWND control);
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  void MakeFonts(UINT dpi);
  void LayOut(UINT dpi);
  void FitClientArea(UINT dpi);

  HINSTANCE instance_;
  TemplateEditor editor_;
  base::UniqueIcon icon_big_;
  base::UniqueIcon icon_small_;

  bool loaded_ = false;  // the window finished loading: its close saves the template
  HWND box_ = nullptr;
  HWND heading_ = nullptr;
  HWND help_ = nullptr;
  base::UniqueFont gothic_font_;
  base::UniqueFont p_gothic_font_;
  base::UniqueBrush background_brush_;
  base::UniqueBrush box_brush_;
};

}  // namespace zelmor::template_window
