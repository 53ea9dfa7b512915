#include "app/main_window_win.h"

#include <commctrl.h>

#include <cmath>

#include "app/resource.h"
#include "app/startup.h"
#include "entry/dde_feed_links_win.h"
#include "entry/entry_box.h"
#include "entry/feed.h"
#include "entry/locale_win.h"
#include "logfiles/file_dialogs_win.h"
#include "logfiles/log_commands.h"
#include "logfiles/recovery.h"
#include "logfiles/temp_log.h"
#include "logfiles/text_files_win.h"
#include "platform/atomic_file_win.h"
#include "platform/paths_win.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "template_window/macro_form_win.h"
#include "transfer/edit_mode_win.h"
#include "transfer/hamlog_link_win.h"
#include "transfer/menu_bar_win.h"

namespace zelmor::app {
namespace {

constexpr COLORREF kWindowGrey = RGB(224, 224, 224);
constexpr COLORREF kPaneYellow = RGB(255, 255, 192);

// Control rectangles in twips: left, top, width, height.
struct TwipsRect {
  int left, top, width, height;
};
constexpr TwipsRect kText1Rect{0, 0, 6975, 3015};
constexpr TwipsRect kText2Rect{0, 3120, 6975, 420};
constexpr TwipsRect kLabelRects[entry::kFeedLabelCount] = {
    {120, 4320, 855, 375}, {1080, 4320, 855, 375}, {2040, 4320, 855, 375},
    {3000, 4320, 735, 375}, {3840, 4320, 735, 375}};

// Positions on the menu bar as the resource script lists them.
constexpr int kHintMenuPosition = 1;
constexpr int kTransferMenuPosition = 2;

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

HFONT MakeFont(const std::wstring& face, double points, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
  font.lfWeight = FW_BOLD;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

}  // namespace

struct MainWindow::Parts {
  Parts(MainWindow& window, HINSTANCE instance)
      : profile(store),
        feed(links),
        controller(state, profile, window, feed, boxes),
        commands({state, profile, dialogs, dialog_state, files, boxes, pane, clock, platform::ExecutableFolder(),
                  [this] {
                    if (edit_mode) edit_mode->LeaveEditMode();
                  }}),
        macro_icon_big(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MACROFORM), IMAGE_ICON, 32, 32, 0))),
        macro_icon_small(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MACROFORM), IMAGE_ICON, 16, 16, 0))),
        macro_form(instance, macro_icon_big.get(), macro_icon_small.get(), state, profile) {}

  bool WriteTempLog(const std::wstring& text) {
    const std::wstring path = platform::BesideExecutable(logfiles::kTempLogName);
    // An earlier run's copy that start-up could neither offer back nor set aside goes aside before
    // this run replaces it; while it cannot, this run writes no copy and keeps its lines in the pane.
    if (earlier_copy_in_the_way) {
      if (!logfiles::SetEarlierCopyAside(files, path, platform::BesideExecutable(logfiles::kTempLogBackupName)))
        return false;
      earlier_copy_in_the_way = false;
    }
    if (!logfiles::WriteTempLog(files, path, text)) return false;
    logfiles::KeepMarkedRunning(profile);
    return true;
  }

  bool earlier_copy_in_the_way = false;

  MainState state;
  settings::IniProfileStore store;
  settings::Profile profile;
  Win32MessageBoxes boxes;
  EditLogPane pane;
  EditEntryField entry_field;
  entry::DdeFeedLinks links;
  entry::Feed feed;
  entry::SystemClock clock;
  MainController controller;
  logfiles::AnsiTextFiles files;
  logfiles::CommonFileDialogs dialogs;
  FileDialogState dialog_state;
  logfiles::LogFileCommands commands;
  transfer::HamlogLink link;
  std::unique_ptr<transfer::MenuBarItems> menu_bar;
  std::unique_ptr<transfer::EditModeWindow> edit_mode;
  platform::UniqueIcon macro_icon_big;
  platform::UniqueIcon macro_icon_small;
  template_window::MacroForm macro_form;
};

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance), parts_(std::make_unique<Parts>(*this, instance)) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(int show_command) {
  grey_brush_.reset(CreateSolidBrush(kWindowGrey));
  yellow_brush_.reset(CreateSolidBrush(kPaneYellow));

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELMOR), IMAGE_ICON, 32, 32, 0));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_ZELMOR), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(grey_brush_.get());
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MAINMENU));
  hwnd_ = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 474, 285,
                          nullptr, menu, instance_, this);
  if (!hwnd_) return false;

  const std::wstring temp_log = platform::BesideExecutable(logfiles::kTempLogName);
  // Leftovers of a safety-copy or settings write that a crash interrupted; the files themselves
  // are always whole.
  platform::RemoveTemporarySiblings(temp_log);
  platform::RemoveTemporarySiblings(platform::BesideExecutable(settings::kFileName));
  parts_->controller.Form_Load(OwnVersion());
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);

  logfiles::RecoveryContext recovery{parts_->state, parts_->profile, parts_->files, parts_->boxes, parts_->pane,
                                     temp_log, platform::BesideExecutable(logfiles::kTempLogBackupName)};
  parts_->earlier_copy_in_the_way = logfiles::OfferRecovery(recovery);
  SetFocus(text2_);
  return true;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    // Nothing may unwind through the window system; the operator keeps a working window.
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
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
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (wparam) Unload();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

HWND MainWindow::CreateControl(const wchar_t* cls, DWORD style, DWORD ex_style, int id, int left, int top,
                               int width, int height, const wchar_t* text) {
  return CreateWindowExW(ex_style, cls, text, WS_CHILD | style, ToPixels(static_cast<float>(left)),
                         ToPixels(static_cast<float>(top)), ToPixels(static_cast<float>(width)),
                         ToPixels(static_cast<float>(height)), hwnd_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
}

void MainWindow::OnCreate() {
  parts_->boxes.set_owner(hwnd_);
  parts_->dialogs.set_owner(hwnd_);
  parts_->link.set_main_window(hwnd_);
  const int dpi = Dpi();
  const std::wstring face = LoadText(IDS_FONT_GOTHIC);
  pane_font_.reset(MakeFont(face, 12.0, dpi));
  entry_font_.reset(MakeFont(face, 14.25, dpi));

  // Created in tab order: the log pane, the entry box, then the five feed labels.
  text1_ = CreateControl(L"EDIT",
                         WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_DISABLED | ES_MULTILINE |
                             ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                         WS_EX_CLIENTEDGE, IDC_TEXT1, kText1Rect.left, kText1Rect.top, kText1Rect.width,
                         kText1Rect.height, L"");
  text2_ = CreateControl(L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_TEXT2,
                         kText2Rect.left, kText2Rect.top, kText2Rect.width, kText2Rect.height, L"");
  for (int i = 0; i < entry::kFeedLabelCount; ++i) {
    const std::wstring caption = L"Label" + std::to_wstring(i + 1);
    const auto& r = kLabelRects[i];
    labels_[i] = CreateControl(L"STATIC", SS_LEFT, 0, IDC_LABEL1 + i, r.left, r.top, r.width, r.height,
                               caption.c_str());
  }
  SendMessageW(text1_, WM_SETFONT, reinterpret_cast<WPARAM>(pane_font_.get()), FALSE);
  SendMessageW(text2_, WM_SETFONT, reinterpret_cast<WPARAM>(entry_font_.get()), FALSE);
  parts_->pane.set_window(text1_);
  parts_->entry_field.set_window(text2_);
  SetWindowSubclass(text2_, EntryBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));

  parts_->menu_bar = std::make_unique<transfer::MenuBarItems>(hwnd_);
  transfer::EditModeCommands commands;
  commands.log_edit = IDM_LOGEDIT;
  commands.transfer_items = {IDM_CPDATE, IDM_CPTIME, IDM_CPCALL, IDM_CPHIS,  IDM_CPMY,  IDM_CPMODE,
                             IDM_CPFREQ, IDM_CPCODE, IDM_CPNAME, IDM_CPREM1, IDM_CPREM2};
  parts_->edit_mode = std::make_unique<transfer::EditModeWindow>(
      hwnd_, parts_->pane, *parts_->menu_bar, kHintMenuPosition, parts_->menu_bar->Popup(kTransferMenuPosition),
      commands, parts_->state, parts_->link, parts_->boxes);
}

LRESULT CALLBACK MainWindow::EntryBoxProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR self) {
  if (message == WM_CHAR && wparam == VK_RETURN) {
    try {
      reinterpret_cast<MainWindow*>(self)->OnEnterPressed();
    } catch (...) {
    }
    // A one-line box has nothing to do with Enter but beep; the entry is the whole answer.
    return 0;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

void MainWindow::OnEnterPressed() {
  Parts& p = *parts_;
  entry::EntryBoxContext context{p.state,       p.feed,  p.pane, p.entry_field, p.clock,
                                 entry::CurrentLocaleFormats(),
                                 [&p](const std::wstring& text) { return p.WriteTempLog(text); }};
  entry::Text2_KeyPress(context, entry::kEnterKey);
  // The hidden labels carry the values the feed last delivered, as the operator's tools expect.
  for (int i = 0; i < entry::kFeedLabelCount; ++i) SetWindowTextW(labels_[i], p.feed.Text(i).c_str());
}

bool MainWindow::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetParent(msg.hwnd) == hwnd_) {
    const bool back = GetKeyState(VK_SHIFT) < 0;
    if (HWND next = GetNextDlgTabItem(hwnd_, msg.hwnd, back ? TRUE : FALSE)) SetFocus(next);
    return true;
  }
  return false;
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control) {
  if (control == text1_ || control == text2_) {
    SetBkColor(dc, kPaneYellow);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(yellow_brush_.get());
  }
  SetBkColor(dc, kWindowGrey);
  return reinterpret_cast<LRESULT>(grey_brush_.get());
}

void MainWindow::OnCommand(UINT id, UINT notification, HWND control) {
  if (control == text1_ && notification == EN_CHANGE) {
    if (!parts_->pane.changing() && parts_->edit_mode) parts_->edit_mode->OnPaneEditedByUser();
    return;
  }
  if (control) return;
  if (parts_->edit_mode && parts_->edit_mode->OnCommand(id)) return;
  switch (id) {
    case IDM_LOGFOPEN:
      parts_->commands.LOGfOpen_Click();
      break;
    case IDM_LOGFCLS:
      parts_->commands.LOGfCls_Click();
      break;
    case IDM_LOGEFOPEN:
      parts_->commands.LOGefOPEN_Click();
      break;
    case IDM_FIXEDIT:
      parts_->macro_form.Open();
      break;
    case IDM_PEND:
      // The same path as the close box: the question first, then the unload.
      PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

void MainWindow::OnClose() {
  if (parts_->controller.Form_QueryUnload()) return;
  Unload();
  DestroyWindow(hwnd_);
}

bool MainWindow::OnQueryEndSession() { return !parts_->controller.Form_QueryUnload(); }

void MainWindow::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  parts_->controller.Form_Unload();
  logfiles::MarkClosedNormally(parts_->profile);
}

void MainWindow::HideEditModeMenus() {
  parts_->menu_bar->ShowTopLevelItem(kTransferMenuPosition, false);
  parts_->menu_bar->ShowTopLevelItem(kHintMenuPosition, false);
}

void MainWindow::SetCaption(const std::wstring& caption) { SetWindowTextW(hwnd_, caption.c_str()); }

int MainWindow::Dpi() const {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

int MainWindow::ToPixels(float twips) const {
  return static_cast<int>(std::lround(static_cast<double>(twips) * Dpi() / 1440.0));
}

float MainWindow::ToTwips(int pixels) const {
  return static_cast<float>(static_cast<double>(pixels) * 1440.0 / Dpi());
}

RECT MainWindow::NormalRect() const {
  RECT rect{};
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(hwnd_, &placement)) return placement.rcNormalPosition;
  }
  GetWindowRect(hwnd_, &rect);
  return rect;
}

void MainWindow::MoveWindowTo(const RECT& rect) {
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd_, &placement);
    placement.rcNormalPosition = rect;
    SetWindowPlacement(hwnd_, &placement);
    return;
  }
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
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
  if (!text1_ || !text2_) return;
  RECT outer{};
  GetWindowRect(hwnd_, &outer);
  const PaneLayout layout =
      ResizeRule(ToTwips(outer.right - outer.left), ToTwips(outer.bottom - outer.top));
  const int text1_height = ToPixels(layout.text1_height);
  SetWindowPos(text1_, nullptr, 0, 0, ToPixels(layout.text1_width), text1_height,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  // The entry box sits under the pane's height as it reads back, not as it was asked for.
  RECT pane{};
  GetWindowRect(text1_, &pane);
  const float pane_height = ToTwips(pane.bottom - pane.top);
  SetWindowPos(text2_, nullptr, 0, ToPixels(pane_height + 50.0f), ToPixels(layout.text2_width),
               ToPixels(static_cast<float>(kText2Rect.height)), SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::RestoreOwnWindowProcedure() {
  if (parts_->edit_mode) parts_->edit_mode->Unload();
}

void MainWindow::CloseTemplateWindow() { parts_->macro_form.Close(); }

}  // namespace zelmor::app
