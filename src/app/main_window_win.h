#pragma once
// The main window "Zelmor": log pane, entry box, hidden feed labels, menus.

#include <windows.h>

#include <memory>

#include "app/main_controller.h"
#include "app/win32_ports_win.h"
#include "platform/handles_win.h"
#include "settings/profile_store_win.h"

namespace zelmor::app {

class MainWindow : public MainView {
 public:
  static constexpr wchar_t kClassName[] = L"ZelmorMainWindow";

  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window, runs the start-up sequence and shows it.
  bool Create(int show_command);
  HWND hwnd() const { return hwnd_; }
  // Keyboard handling the window needs before the message is dispatched (Tab between the boxes).
  bool PreTranslate(MSG& msg);

  // MainView
  void HideEditModeMenus() override;
  void SetCaption(const std::wstring& caption) override;
  void SetTop(float twips) override;
  void SetLeft(float twips) override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;
  float Top() override;
  float Left() override;
  float Width() override;
  float Height() override;
  void RestoreOwnWindowProcedure() override;
  void CloseTemplateWindow() override;

 private:
  struct Parts;

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK EntryBoxProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void OnCreate();
  void OnSize(UINT kind);
  void OnCommand(UINT id, UINT notification, HWND control);
  LRESULT OnControlColor(HDC dc, HWND control);
  void OnClose();
  bool OnQueryEndSession();
  void Unload();
  void OnEnterPressed();

  int Dpi() const;
  int ToPixels(float twips) const;
  float ToTwips(int pixels) const;
  RECT NormalRect() const;
  void MoveWindowTo(const RECT& rect);
  void ApplyResizeRule();
  HWND CreateControl(const wchar_t* cls, DWORD style, DWORD ex_style, int id, int left, int top,
                     int width, int height, const wchar_t* text);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND text1_ = nullptr;
  HWND text2_ = nullptr;
  HWND labels_[5] = {};
  platform::UniqueGdiObject pane_font_;
  platform::UniqueGdiObject entry_font_;
  platform::UniqueGdiObject yellow_brush_;
  platform::UniqueGdiObject grey_brush_;
  bool unloaded_ = false;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zelmor::app
