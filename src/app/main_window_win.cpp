#include "app/main_window_win.h"

#include "app/geometry.h"
#include "app/parts_win.h"
#include "app/version_win.h"
#include "base/resource.h"
#include "base/texts.h"
#include "entry/entry_box.h"
#include "entry/feed.h"
#include "window/dpi_win.h"
#include "window/menu_bar_win.h"
#include "window/placement_win.h"

namespace zelmor::app {
namespace {

constexpr COLORREF kWindowGrey = RGB(224, 224, 224);
constexpr COLORREF kPaneYellow = RGB(255, 255, 192);

// Control rectangles in twips, as the window was drawn.
constexpr window::TwipsRect kPaneRect{0, 0, 6975, 3015};
constexpr window::TwipsRect kEntryRect{0, 3120, 6975, 420};
constexpr window::TwipsRect kLabelRects[entry::kFeedLabelCount] = {
    {120, 4320, 855, 375}, {1080, 4320, 855, 375}, {2040, 4320, 855, 375},
    {3000, 4320, 735, 375}, {3840, 4320, 735, 375}};

constexpr double kPanePoints = 12.0;
constexpr double kEntryPoints = 14.25;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() {
  if (hwnd()) DestroyWindow(hwnd());
}

bool MainWindow::Create(int show_command) {
  show_command_ = show_command;
  grey_brush_.reset(CreateSolidBrush(kWindowGrey));
  yellow_brush_.reset(CreateSolidBrush(kPaneYellow));

  WNDCLASSEXW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hInstance = instance_;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELMOR), IMAGE_ICON, 32, 32, 0));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELMOR), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = grey_brush_.get();
  wc.lpszClassName = kClassName;
  if (!window::RegisterWindowClass(wc)) return false;

  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MAINMENU));
  if (!CreateOwnedWindow(0, kClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 474, 285, nullptr, menu,
                         instance_)) {
    return false;
  }
  parts_->lifecycle.Start(OwnVersion());
  return true;
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wparam));
      return 0;
    case WM_MOVE:
      if (parts_) parts_->worked.OnAnchorMoved();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_ACTIVATE:
      OnActivate(wparam);
      return Default(message, wparam, lparam);
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_INITMENUPOPUP:
      if (parts_) parts_->tracker_menu.OnMenuOpening(reinterpret_cast<HMENU>(wparam));
      return Default(message, wparam, lparam);
    case WM_CLIPBOARDUPDATE:
      if (parts_) parts_->edit_mode.OnClipboardUpdate();
      return 0;
    case window::kDpiChangedMessage:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return parts_->lifecycle.ConfirmClose(CloseRequest::EndSession) ? TRUE : FALSE;
    case entry::kFeedLookUpMessage:
      if (parts_) parts_->feed_look_up.OnMessage();
      return 0;
    case lotw::kTqslEndedMessage:
      if (parts_) parts_->lotw.OnTqslEnded();
      return 0;
    case lotw::kReportFetchedMessage:
      if (parts_) parts_->lotw_fetch.OnFetched();
      return 0;
    case WM_ENDSESSION:
      if (wparam) parts_->lifecycle.Close();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

void MainWindow::OnCreate() {
  const auto control = [&](const wchar_t* cls, DWORD style, DWORD ex_style, int id, const wchar_t* text) {
    return CreateWindowExW(ex_style, cls, text, WS_CHILD | style, 0, 0, 0, 0, hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  };
  // Made in tab order: the log pane, the entry box, then the five feed labels.
  pane_ = control(L"EDIT",
                  WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_DISABLED | ES_MULTILINE | ES_AUTOVSCROLL |
                      ES_AUTOHSCROLL | ES_NOHIDESEL,
                  WS_EX_CLIENTEDGE, IDC_LOG_PANE, L"");
  entry_ = control(L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_ENTRY_BOX, L"");
  for (int i = 0; i < entry::kFeedLabelCount; ++i) {
    const std::wstring caption = L"Label" + std::to_wstring(i + 1);
    labels_[i] = control(L"STATIC", SS_LEFT, 0, IDC_FEED_LABEL1 + i, caption.c_str());
  }
  MakeFonts();
  LayOutControls();
  // Enter in the entry box is the window's business, handled like its own messages.
  RouteChildMessages(entry_);
  MainView& view = *this;
  parts_ = std::make_unique<Parts>(instance_, MainControls{hwnd(), pane_, entry_}, view);
}

void MainWindow::MakeFonts() {
  const UINT dpi = Dpi();
  const std::wstring face = LoadText(IDS_FONT_GOTHIC);
  window::FontSpec look{face, kPanePoints};
  look.pitch_and_family = FIXED_PITCH | FF_MODERN;
  base::UniqueFont pane_font = window::MakeFont(look, dpi);
  look.points = kEntryPoints;
  base::UniqueFont entry_font = window::MakeFont(look, dpi);
  SendMessageW(pane_, WM_SETFONT, reinterpret_cast<WPARAM>(pane_font.get()), TRUE);
  SendMessageW(entry_, WM_SETFONT, reinterpret_cast<WPARAM>(entry_font.get()), TRUE);
  // The controls use the new fonts now; the old ones may go.
  pane_font_ = std::move(pane_font);
  entry_font_ = std::move(entry_font);
}

void MainWindow::LayOutControls() {
  const UINT dpi = Dpi();
  window::PlaceInTwips(pane_, kPaneRect, dpi);
  window::PlaceInTwips(entry_, kEntryRect, dpi);
  for (int i = 0; i < entry::kFeedLabelCount; ++i) window::PlaceInTwips(labels_[i], kLabelRects[i], dpi);
  ApplyResizeRule();
}

bool MainWindow::OnChildMessage(HWND child, UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
  if (child != entry_ || message != WM_CHAR || !parts_) return false;
  if (wparam == VK_ESCAPE) {
    parts_->worked.OnEscape();
    return false;  // the box's own handling, as before
  }
  if (wparam != VK_RETURN) return false;
  OnEnterPressed();
  // A one-line box has nothing to do with Enter but beep; the entry is the whole answer.
  result = 0;
  return true;
}

void MainWindow::OnEnterPressed() {
  entry::OnEntryKey(parts_->entry_box, entry::kEnterKey);
  // The hidden labels carry the values the feed last delivered, as the operator's tools expect.
  for (int i = 0; i < entry::kFeedLabelCount; ++i) SetWindowTextW(labels_[i], parts_->feed.Text(i).c_str());
}

bool MainWindow::PreTranslate(MSG& msg) {
  if (parts_ && parts_->upload_views.PreTranslate(msg)) return true;
  if (parts_ && parts_->fetch_views.PreTranslate(msg)) return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetParent(msg.hwnd) == hwnd()) {
    const bool back = GetKeyState(VK_SHIFT) < 0;
    if (HWND next = GetNextDlgTabItem(hwnd(), msg.hwnd, back ? TRUE : FALSE)) SetFocus(next);
    return true;
  }
  return false;
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control) {
  if (control == pane_ || control == entry_) {
    SetBkColor(dc, kPaneYellow);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(yellow_brush_.get());
  }
  SetBkColor(dc, kWindowGrey);
  return reinterpret_cast<LRESULT>(grey_brush_.get());
}

void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) != WA_INACTIVE) return;
  HWND focus = GetFocus();
  if (focus == pane_ || focus == entry_) focus_ = focus;
}

void MainWindow::OnSetFocus() {
  // A question, a dialog or another program took the keyboard; what the operator types next
  // belongs where they were typing, not to the window itself.
  if (focus_ == pane_ && IsWindowEnabled(pane_)) {
    SetFocus(pane_);
  } else {
    SetFocus(entry_);
  }
}

void MainWindow::OnCommand(UINT id, UINT notification, HWND control) {
  if (!parts_) return;
  Parts& p = *parts_;
  if (control == pane_ && notification == EN_CHANGE) {
    if (p.pane.OnChangeNotice()) p.edit_mode.OnPaneEditedByUser();
    return;
  }
  if (control == entry_ && notification == EN_CHANGE) {
    p.worked.OnEntryChanged();
    return;
  }
  if (control) return;
  if (p.tracker_menu.OnCommand(id)) return;
  if (p.edit_mode.OnCommand(id)) {
    // Leaving edit mode disables the pane; the keyboard must not stay with a disabled control.
    if (GetFocus() == pane_ && !IsWindowEnabled(pane_)) SetFocus(entry_);
    return;
  }
  switch (id) {
    case IDM_LOG_OPEN:
      p.log_commands.OpenLog();
      break;
    case IDM_LOG_SAVE:
      p.log_commands.SaveLog();
      break;
    case IDM_ADIF_EXPORT:
      p.adif_export.Export();
      break;
    case IDM_STATION:
      p.station_command.Ask();
      break;
    case IDM_LOTW_UPLOAD:
      p.lotw.Upload();
      break;
    case IDM_LOTW_FETCH:
      p.lotw_fetch.Fetch();
      break;
    case IDM_WORKED_SUMMARY:
      // A File command like the others: edit mode ends first (a copy of the summary would
      // otherwise pop up the transfer menu).
      logfiles::LeaveEditModeIfOn(p.file_commands);
      p.worked.ShowSummary(hwnd());
      break;
    case IDM_VIEW_SAFETY_COPY:
      p.log_commands.ViewSafetyCopy();
      break;
    case IDM_EDIT_TEMPLATE:
      p.template_window.Open();
      break;
    case IDM_CLOSE:
      // The same path as the close box: the question first, then the close.
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
  if (GetFocus() == pane_ && !IsWindowEnabled(pane_)) SetFocus(entry_);
}

void MainWindow::OnClose() {
  if (!parts_->lifecycle.ConfirmClose()) return;
  parts_->lifecycle.Close();
  DestroyWindow(hwnd());
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  // The suggested rectangle keeps the window's physical size; fonts and controls follow it.
  dpi_ = dpi;
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts();
  LayOutControls();
}

void MainWindow::HideEditModeMenus() {
  parts_->menu_bar.ShowTopLevelItem(kTransferMenuPosition, false);
  parts_->menu_bar.ShowTopLevelItem(kHintMenuPosition, false);
}

void MainWindow::SetCaption(const std::wstring& caption) { SetWindowTextW(hwnd(), caption.c_str()); }

void MainWindow::Show() {
  ShowWindow(hwnd(), show_command_);
  UpdateWindow(hwnd());
}

void MainWindow::FocusEntryBox() { SetFocus(entry_); }

void MainWindow::EndEditModeWatch() { parts_->edit_mode.Close(); }

void MainWindow::CloseTemplateWindow() { parts_->template_window.Close(); }

UINT MainWindow::Dpi() const { return dpi_ ? dpi_ : window::DpiOf(hwnd()); }

int MainWindow::ToPixels(float twips) const { return window::TwipsToPixels(twips, Dpi()); }

float MainWindow::ToTwips(int pixels) const { return window::PixelsToTwips(pixels, Dpi()); }

window::TwipsRect MainWindow::Placement() { return window::NormalPlacement(hwnd(), Dpi()); }

void MainWindow::Place(const window::TwipsRect& placement) { window::SetNormalPlacement(hwnd(), placement, Dpi()); }

void MainWindow::OnSize(UINT kind) {
  if (kind == SIZE_MINIMIZED) return;
  ApplyResizeRule();
  if (parts_) parts_->worked.OnAnchorMoved();
}

void MainWindow::ApplyResizeRule() {
  if (!pane_ || !entry_) return;
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  const PaneLayout layout = ResizeRule(ToTwips(outer.right - outer.left), ToTwips(outer.bottom - outer.top));
  SetWindowPos(pane_, nullptr, 0, 0, ToPixels(layout.pane_width), ToPixels(layout.pane_height),
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  // The entry box sits under the pane's height as it reads back, not as it was asked for.
  RECT pane{};
  GetWindowRect(pane_, &pane);
  const float pane_height = ToTwips(pane.bottom - pane.top);
  SetWindowPos(entry_, nullptr, 0, ToPixels(pane_height + kEntryBelowPane), ToPixels(layout.entry_width),
               ToPixels(kEntryRect.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace zelmor::app
