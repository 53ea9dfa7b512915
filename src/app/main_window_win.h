#pragma once
// The main window "Zelmor": log pane, entry box, hidden feed labels, menus and layout. Its commands
// go to the program's parts (parts_win.h), which it makes once its controls exist.

#include <windows.h>

#include <memory>

#include "app/lifecycle.h"
#include "base/handles_win.h"
#include "window/base_window_win.h"

namespace zelmor::app {

struct Parts;

class MainWindow : public window::Window, private MainView {
 public:
  static constexpr wchar_t kClassName[] = L"ZelmorMainWindow";

  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;

  // Creates the window and runs start-up; the window is shown and waits for the first entry.
  bool Create(int show_command);
  // Keyboard handling the window needs before the message is dispatched (Tab between the boxes).
  bool PreTranslate(MSG& msg);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnChildMessage(HWND child, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void OnCreate();
  void OnSize(UINT kind);
  void OnCommand(UINT id, UINT notification, HWND control);
  LRESULT OnControlColor(HDC dc, HWND control);
  void OnActivate(WPARAM wparam);
  void OnSetFocus();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnClose();
  void OnEnterPressed();

  // MainView
  void HideEditModeMenus() override;
  void SetCaption(const std::wstring& caption) override;
  window::TwipsRect Placement() override;
  void Place(const window::TwipsRect& placement) override;
  void Show() override;
  void FocusEntryBox() override;
  void EndEditModeWatch() override;
  void CloseTemplateWindow() override;

  UINT Dpi() const;
  int ToPixels(float twips) const;
  float ToTwips(int pixels) const;
  void MakeFonts();
  void LayOutControls();
  void ApplyResizeRule();

  HINSTANCE instance_;
  int show_command_ = SW_SHOWDEFAULT;
  HWND pane_ = nullptr;
  HWND entry_ = nullptr;
  HWND labels_[5] = {};
  // The control that had the keyboard when the window was last deactivated; it gets it back.
  HWND focus_ = nullptr;
  // The DPI the window is drawn at: its monitor's, and the new one after WM_DPICHANGED.
  UINT dpi_ = 0;
  base::UniqueGdiObject pane_font_;
  base::UniqueGdiObject entry_font_;
  base::UniqueGdiObject yellow_brush_;
  base::UniqueGdiObject grey_brush_;
  // Made at WM_CREATE, once the controls exist.
  std::unique_ptr<Parts> parts_;
};

}  // namespace zelmor::app
