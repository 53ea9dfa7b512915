#include "app/main_window_win.h"

#include <commctrl.h>

#include <vector>

#include "adif/export_command.h"
#include "adif/time_zone_win.h"
#include "app/geometry.h"
#include "base/clock_win.h"
#include "base/message_boxes_win.h"
#include "base/paths_win.h"
#include "base/resource.h"
#include "base/texts.h"
#include "entry/dde_feed_links_win.h"
#include "entry/entry_box.h"
#include "entry/feed.h"
#include "entry/locale_win.h"
#include "entry/log_pane_win.h"
#include "logfiles/file_dialogs_win.h"
#include "logfiles/log_commands.h"
#include "logfiles/safety_copy.h"
#include "logfiles/text_files_win.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "settings/profile_store_win.h"
#include "template_window/template_window_win.h"
#include "transfer/edit_mode_win.h"
#include "transfer/hamlog_link_win.h"
#include "window/dpi_win.h"
#include "window/menu_bar_win.h"

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

// Positions on the menu bar as the resource script lists them.
constexpr int kHintMenuPosition = 1;
constexpr int kTransferMenuPosition = 2;

// Enter in the entry box, passed to the main window so that it runs under the window's own
// failure handling.
constexpr UINT kEnterPressedMessage = WM_APP + 1;

Version OwnVersion() {
  Version version;
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
  if (!found) return version;
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(nullptr, found);
  if (!data || size < sizeof(VS_FIXEDFILEINFO)) return version;
  // VS_FIXEDFILEINFO follows the block header; find it by its signature rather than by layout.
  const auto* bytes = static_cast<const BYTE*>(data);
  for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
    const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + offset);
    if (info->dwSignature == 0xFEEF04BD) {
      version.major = HIWORD(info->dwFileVersionMS);
      version.minor = LOWORD(info->dwFileVersionMS);
      version.revision = HIWORD(info->dwFileVersionLS);
      break;
    }
  }
  return version;
}

std::wstring OwnVersionText() {
  const Version v = OwnVersion();
  return FormatVersion(v.major, v.minor, v.revision);
}

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(ToScreenRect(info.rcWork));
  return TRUE;
}

}  // namespace

// Everything the window's commands work on. Members are made in this order and wired here.
struct MainWindow::Parts {
  Parts(MainWindow& window, HINSTANCE instance)
      : folder(base::ExecutableFolder()),
        profile(store),
        feed(links),
        commands({state, profile, dialogs, dialog_state, files, boxes, pane, clock, folder,
                  [this] {
                    if (edit_mode) edit_mode->LeaveEditMode();
                  }}),
        adif_export({state, profile, dialogs, dialog_state, files, boxes, pane, clock, zone, folder,
                     OwnVersionText(), entry::CurrentLocaleFormats,
                     [this] {
                       if (edit_mode) edit_mode->LeaveEditMode();
                     }}),
        safety_copy(files, profile, clock, folder),
        template_window(instance, state, profile),
        lifecycle({state, profile, window, feed, pane, boxes, safety_copy, files,
                   base::BesideExecutable(settings::kFileName)}) {}

  std::wstring folder;
  MainState state;
  settings::IniProfileStore store;
  settings::Profile profile;
  base::Win32MessageBoxes boxes;
  base::SystemClock clock;
  entry::EditLogPane pane;
  entry::EditEntryField entry_field;
  entry::DdeFeedLinks links;
  entry::Feed feed;
  logfiles::AnsiTextFiles files;
  logfiles::CommonFileDialogs dialogs;
  logfiles::FileDialogState dialog_state;
  logfiles::LogCommands commands;
  adif::ComputerTimeZone zone;
  adif::ExportCommand adif_export;
  logfiles::SafetyCopy safety_copy;
  transfer::HamlogLink link;
  std::unique_ptr<window::MenuBarItems> menu_bar;
  std::unique_ptr<transfer::EditModeWindow> edit_mode;
  template_window::TemplateWindow template_window;
  Lifecycle lifecycle;
};

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance), parts_(std::make_unique<Parts>(*this, instance)) {}

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
  wc.hbrBackground = static_cast<HBRUSH>(grey_brush_.get());
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
    case WM_CLIPBOARDUPDATE:
      if (parts_->edit_mode) parts_->edit_mode->OnClipboardUpdate();
      return 0;
    case window::kDpiChangedMessage:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case kEnterPressedMessage:
      OnEnterPressed();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return parts_->lifecycle.ConfirmClose() ? TRUE : FALSE;
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
  parts_->boxes.set_owner(hwnd());
  parts_->dialogs.set_owner(hwnd());
  parts_->link.set_main_window(hwnd());

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
  parts_->pane.set_window(pane_);
  parts_->pane.set_watcher(&parts_->safety_copy);
  parts_->entry_field.set_window(entry_);
  SetWindowSubclass(entry_, EntryBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));

  parts_->menu_bar = std::make_unique<window::MenuBarItems>(hwnd());
  transfer::EditModeCommands commands;
  commands.edit_mode = IDM_EDIT_MODE;
  commands.transfer_items = {IDM_TO_HL_DATE, IDM_TO_HL_TIME, IDM_TO_HL_CALL, IDM_TO_HL_HIS_RST,
                             IDM_TO_HL_MY_RST, IDM_TO_HL_MODE, IDM_TO_HL_FREQ, IDM_TO_HL_CODE,
                             IDM_TO_HL_NAME, IDM_TO_HL_REM1, IDM_TO_HL_REM2};
  commands.whole_contact = IDM_TO_HL_WHOLE_CONTACT;
  parts_->edit_mode = std::make_unique<transfer::EditModeWindow>(
      hwnd(), parts_->pane, *parts_->menu_bar, kHintMenuPosition, parts_->menu_bar->Popup(kTransferMenuPosition),
      commands, parts_->state, parts_->link, parts_->boxes);
  parts_->edit_mode->set_contact_planner([p = parts_.get()](const std::wstring& clipboard_text) {
    return transfer::PlanClipboardContact(clipboard_text, p->state.template_text, entry::CurrentLocaleFormats(),
                                          transfer::ReadFieldMapping(p->profile));
  });
}

void MainWindow::MakeFonts() {
  const UINT dpi = Dpi();
  const std::wstring face = LoadText(IDS_FONT_GOTHIC);
  window::FontSpec look{face, kPanePoints};
  look.pitch_and_family = FIXED_PITCH | FF_MODERN;
  base::UniqueGdiObject pane_font = window::MakeFont(look, dpi);
  look.points = kEntryPoints;
  base::UniqueGdiObject entry_font = window::MakeFont(look, dpi);
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

LRESULT CALLBACK MainWindow::EntryBoxProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR self) {
  if (message == WM_CHAR && wparam == VK_RETURN) {
    SendMessageW(reinterpret_cast<MainWindow*>(self)->hwnd(), kEnterPressedMessage, 0, 0);
    // A one-line box has nothing to do with Enter but beep; the entry is the whole answer.
    return 0;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

void MainWindow::OnEnterPressed() {
  Parts& p = *parts_;
  entry::EntryBoxContext context{p.state, p.feed, p.pane, p.entry_field, p.clock, entry::CurrentLocaleFormats(),
                                 [&p](const std::wstring& appended) { return p.safety_copy.Write(p.pane, appended); }};
  entry::OnEntryKey(context, entry::kEnterKey);
  // The hidden labels carry the values the feed last delivered, as the operator's tools expect.
  for (int i = 0; i < entry::kFeedLabelCount; ++i) SetWindowTextW(labels_[i], p.feed.Text(i).c_str());
}

bool MainWindow::PreTranslate(MSG& msg) {
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
  if (control == pane_ && notification == EN_CHANGE) {
    if (parts_->pane.OnChangeNotice() && parts_->edit_mode) parts_->edit_mode->OnPaneEditedByUser();
    return;
  }
  if (control) return;
  if (parts_->edit_mode && parts_->edit_mode->OnCommand(id)) {
    // Leaving edit mode disables the pane; the keyboard must not stay with a disabled control.
    if (GetFocus() == pane_ && !IsWindowEnabled(pane_)) SetFocus(entry_);
    return;
  }
  switch (id) {
    case IDM_LOG_OPEN:
      parts_->commands.OpenLog();
      break;
    case IDM_LOG_SAVE:
      parts_->commands.SaveLog();
      break;
    case IDM_ADIF_EXPORT:
      parts_->adif_export.Export();
      break;
    case IDM_VIEW_SAFETY_COPY:
      parts_->commands.ViewSafetyCopy();
      break;
    case IDM_EDIT_TEMPLATE:
      parts_->template_window.Open();
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
  parts_->menu_bar->ShowTopLevelItem(kTransferMenuPosition, false);
  parts_->menu_bar->ShowTopLevelItem(kHintMenuPosition, false);
}

void MainWindow::SetCaption(const std::wstring& caption) { SetWindowTextW(hwnd(), caption.c_str()); }

void MainWindow::Show() {
  ShowWindow(hwnd(), show_command_);
  UpdateWindow(hwnd());
}

void MainWindow::FocusEntryBox() { SetFocus(entry_); }

void MainWindow::EndEditModeWatch() {
  if (parts_->edit_mode) parts_->edit_mode->Close();
}

void MainWindow::CloseTemplateWindow() { parts_->template_window.Close(); }

UINT MainWindow::Dpi() const { return dpi_ ? dpi_ : window::DpiOf(hwnd()); }

int MainWindow::ToPixels(float twips) const { return window::TwipsToPixels(twips, Dpi()); }

float MainWindow::ToTwips(int pixels) const { return window::PixelsToTwips(pixels, Dpi()); }

RECT MainWindow::NormalRect() const {
  RECT rect{};
  if (IsIconic(hwnd()) || IsZoomed(hwnd())) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(hwnd(), &placement)) return placement.rcNormalPosition;
  }
  GetWindowRect(hwnd(), &rect);
  return rect;
}

void MainWindow::MoveWindowTo(const RECT& rect) {
  if (IsIconic(hwnd()) || IsZoomed(hwnd())) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd(), &placement);
    placement.rcNormalPosition = rect;
    SetWindowPlacement(hwnd(), &placement);
    return;
  }
  SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetTop(float twips) {
  RECT r = NormalRect();
  const int height = r.bottom - r.top;
  r.top = ToPixels(twips);
  r.bottom = r.top + height;
  MoveWindowTo(r);
}

void MainWindow::SetLeft(float twips) {
  RECT r = NormalRect();
  const int width = r.right - r.left;
  r.left = ToPixels(twips);
  r.right = r.left + width;
  MoveWindowTo(r);
}

void MainWindow::SetWidth(float twips) {
  RECT r = NormalRect();
  r.right = r.left + ToPixels(twips);
  MoveWindowTo(r);
}

void MainWindow::SetHeight(float twips) {
  RECT r = NormalRect();
  r.bottom = r.top + ToPixels(twips);
  MoveWindowTo(r);
}

void MainWindow::KeepOnScreen() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
  MONITORINFO primary{};
  primary.cbSize = sizeof(primary);
  if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary)) return;
  const RECT now = NormalRect();
  const ScreenRect placed = app::KeepOnScreen(ToScreenRect(now), areas.data(), areas.size(), ToScreenRect(primary.rcWork));
  if (placed.left == now.left && placed.top == now.top && placed.right == now.right && placed.bottom == now.bottom) return;
  MoveWindowTo(RECT{placed.left, placed.top, placed.right, placed.bottom});
}

float MainWindow::Top() { return ToTwips(NormalRect().top); }
float MainWindow::Left() { return ToTwips(NormalRect().left); }
float MainWindow::Width() {
  const RECT r = NormalRect();
  return ToTwips(r.right - r.left);
}
float MainWindow::Height() {
  const RECT r = NormalRect();
  return ToTwips(r.bottom - r.top);
}

void MainWindow::OnSize(UINT kind) {
  if (kind == SIZE_MINIMIZED) return;
  ApplyResizeRule();
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
               ToPixels(static_cast<float>(kEntryRect.height)), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace zelmor::app
