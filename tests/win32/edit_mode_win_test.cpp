// Edit mode on a real window: menus, the clipboard listener and the transfer menu popping up.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/codepage_win.h"
#include "base/handles_win.h"
#include "fakes.h"
#include "transfer/edit_mode_win.h"
#include "window/menu_bar_win.h"

namespace zelmor::transfer {
namespace {

constexpr UINT kLogEdit = 1002;
constexpr UINT kHint = 1007;
constexpr UINT kFirstTransferItem = 1101;
constexpr UINT kWholeContact = 1120;

// What the window's own procedure saw. One test window at a time.
struct OwnProcedureLog {
  HMENU transfer_menu = nullptr;
  int clipboard_notices = 0;
  int transfer_menus = 0;
  std::vector<bool> whole_contact_greyed;  // as each transfer menu opened
  bool idle_seen = false;
  std::vector<UINT> commands;
  // Runs once inside each transfer menu; the menu is closed afterwards unless it picked an item.
  std::function<void(HWND)> inside_menu;
};
OwnProcedureLog* g_log = nullptr;
EditModeWindow* g_edit = nullptr;

LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_log) {
    switch (message) {
      case WM_CLIPBOARDUPDATE:
        ++g_log->clipboard_notices;
        // As the main window does: its own procedure hands the notice to edit mode.
        if (g_edit) g_edit->OnClipboardUpdate();
        return 0;
      case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wparam) == g_log->transfer_menu) {
          ++g_log->transfer_menus;
          g_log->whole_contact_greyed.push_back(
              (GetMenuState(g_log->transfer_menu, kWholeContact, MF_BYCOMMAND) & MF_GRAYED) != 0);
          g_log->idle_seen = false;
        }
        break;
      case WM_ENTERIDLE:
        if (wparam == MSGF_MENU && !g_log->idle_seen) {
          g_log->idle_seen = true;
          if (g_log->inside_menu) {
            g_log->inside_menu(window);
          } else {
            EndMenu();
          }
        }
        return 0;
      case WM_COMMAND:
        g_log->commands.push_back(LOWORD(wparam));
        return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

int g_other_notices = 0;

LRESULT CALLBACK OtherViewerProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLIPBOARDUPDATE) ++g_other_notices;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(const wchar_t* class_name, WNDPROC procedure, HMENU menu) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name;
  RegisterClassW(&wc);
  return CreateWindowExW(0, class_name, class_name, WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, menu,
                         wc.hInstance, nullptr);
}

// The main window's menu as the resource script lays it out.
HMENU MakeMenuBar() {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 1001, L"LOG Open(O)");
  AppendMenuW(file, MF_STRING, kLogEdit, L"LOG編集(&E)");
  AppendMenuW(file, MF_STRING, 1003, L"LOG Save(&S)");
  HMENU transfer = CreatePopupMenu();
  for (size_t i = 0; i < kTransferMenu.size(); ++i) {
    AppendMenuW(transfer, MF_STRING, kFirstTransferItem + i, kTransferMenu[i].caption);
  }
  AppendMenuW(transfer, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(transfer, MF_STRING, kWholeContact, L"to HL 1QSO全項目");
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File(&F)");
  AppendMenuW(bar, MF_STRING, kHint, L"文字列をコピーするとHamlogへ転送出来ます");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(transfer), L"HLcopy");
  return bar;
}

std::vector<std::wstring> BarCaptions(HMENU bar) {
  std::vector<std::wstring> captions;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(bar, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    captions.push_back(text);
  }
  return captions;
}

// Runs the thread's messages until `done` holds; the limit only ends a broken test.
bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG give_up = GetTickCount64() + 10000;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount64() > give_up) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class RecordingProgram : public LoggingProgram {
 public:
  int32_t FindLoggingProgram() override { return kLoggingProgramFound; }
  bool Send(uint32_t dwData, const std::wstring& text) override {
    codes.push_back(dwData);
    texts.push_back(text);
    return true;
  }
  std::vector<uint32_t> codes;
  std::vector<std::wstring> texts;
};

class SilentBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::wstring&, const std::optional<std::wstring>&, MessageButtons,
                     MessageIcon) override {
    ++shown;
    return MessageAnswer::Ok;
  }
  int shown = 0;
};

// Log lines, for this test, are those that start with a year.
class YearLinePlanner : public ContactPlanner {
 public:
  std::optional<std::vector<PlannedField>> Plan(const std::wstring& text) override {
    if (text.rfind(L"2026/", 0) != 0) return std::nullopt;
    return std::vector<PlannedField>{{1, L"JA1ABC"}, {2, L"26/12/07"}};
  }
};

class EditModeWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = &log;
    g_other_notices = 0;
    window = MakeWindow(L"ZelmorEditModeTestMain", OwnProcedure, MakeMenuBar());
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    other_viewer.reset(MakeWindow(L"ZelmorEditModeTestViewer", OtherViewerProcedure, nullptr));
    ASSERT_TRUE(AddClipboardFormatListener(other_viewer.get()));
    clipboard_owner.reset(MakeWindow(L"ZelmorEditModeTestOwner", DefWindowProcW, nullptr));

    // As at start-up: HLcopyMenu, then HLMSG, off the bar.
    menu_bar = std::make_unique<window::MenuBarItems>(window);
    ASSERT_TRUE(menu_bar->ShowTopLevelItem(2, false));
    ASSERT_TRUE(menu_bar->ShowTopLevelItem(1, false));
    log.transfer_menu = menu_bar->Popup(2);

    EditModeCommands commands;
    commands.edit_mode = kLogEdit;
    for (size_t i = 0; i < commands.transfer_items.size(); ++i) {
      commands.transfer_items[i] = kFirstTransferItem + static_cast<UINT>(i);
    }
    commands.whole_contact = kWholeContact;
    edit = std::make_unique<EditModeWindow>(window, pane, *menu_bar, 1, menu_bar->Popup(2), commands, state,
                                            program, boxes, planner);
    g_edit = edit.get();
  }

  void TearDown() override {
    g_edit = nullptr;
    edit.reset();
    if (window) DestroyWindow(window);
    menu_bar.reset();
    if (other_viewer) RemoveClipboardFormatListener(other_viewer.get());
    PumpPending();
    g_log = nullptr;
  }

  // Copies `text` as another program would, and waits until the other viewer has heard of it.
  void Copy(const std::wstring& text) {
    const int before = g_other_notices;
    {
      base::ClipboardGuard clipboard(clipboard_owner.get());
      ASSERT_TRUE(clipboard.is_open());
      EmptyClipboard();
      const std::string bytes = base::ToAnsi(text);
      HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
      ASSERT_NE(memory, nullptr);
      {
        base::GlobalLockGuard<char> lock(memory);
        memcpy(lock.get(), bytes.c_str(), bytes.size() + 1);
      }
      ASSERT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
    }
    ASSERT_TRUE(PumpUntil([&] { return g_other_notices > before; })) << "no clipboard notice came";
    PumpPending();
  }

  bool Checked() const { return (GetMenuState(menu_bar->bar(), kLogEdit, MF_BYCOMMAND) & MF_CHECKED) != 0; }
  WNDPROC Procedure() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)); }

  OwnProcedureLog log;
  HWND window = nullptr;
  base::UniqueHwnd other_viewer;
  base::UniqueHwnd clipboard_owner;
  std::unique_ptr<window::MenuBarItems> menu_bar;
  fakes::FakePane pane;
  RecordingProgram program;
  SilentBoxes boxes;
  YearLinePlanner planner;
  MainState state;
  std::unique_ptr<EditModeWindow> edit;
};

TEST_F(EditModeWin32Test, LogEditSwitchesMenusAndPaneBothWaysAndNeverTheProcedure) {
  const std::wstring hint = L"文字列をコピーするとHamlogへ転送出来ます";
  EXPECT_EQ(BarCaptions(menu_bar->bar()), std::vector<std::wstring>{L"File(&F)"}) << "start-up state";

  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  EXPECT_TRUE(state.edit_mode);
  EXPECT_TRUE(Checked());
  EXPECT_EQ(BarCaptions(menu_bar->bar()), (std::vector<std::wstring>{L"File(&F)", hint}));
  EXPECT_EQ(GetMenuItemID(menu_bar->bar(), 1), kHint) << "the hint comes back with its own ID";
  EXPECT_TRUE(pane.enabled);
  EXPECT_EQ(Procedure(), &OwnProcedure);

  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  EXPECT_FALSE(state.edit_mode);
  EXPECT_FALSE(Checked());
  EXPECT_EQ(BarCaptions(menu_bar->bar()), std::vector<std::wstring>{L"File(&F)"});
  EXPECT_FALSE(pane.enabled);
  EXPECT_EQ(Procedure(), &OwnProcedure);
  EXPECT_EQ(log.transfer_menus, 0) << "entering and leaving show no menu by themselves";

  EXPECT_FALSE(edit->OnCommand(1001)) << "other commands are the window's own";
}

TEST_F(EditModeWin32Test, EachClipboardChangeInEditModePopsTheMenuOnce) {
  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  Copy(L"JA1ABC");
  EXPECT_EQ(log.transfer_menus, 1);
  EXPECT_GE(log.clipboard_notices, 1);

  // A second notice for the same change, as the X side sometimes sends.
  SendMessageW(window, WM_CLIPBOARDUPDATE, 0, 0);
  EXPECT_EQ(log.transfer_menus, 1);

  Copy(L"599");
  EXPECT_EQ(log.transfer_menus, 2) << "the next change pops it again";
  EXPECT_TRUE(log.commands.empty()) << "closing the menu chose nothing";
}

TEST_F(EditModeWin32Test, WholeContactItemIsGreyedUnlessTheClipboardHoldsALogLineAndSendsItsFields) {
  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  Copy(L"JA1ABC 599");
  Copy(L"2026/12/07 08:30J JA1ABC");
  EXPECT_EQ(log.whole_contact_greyed, (std::vector<bool>{true, false}));

  ASSERT_TRUE(edit->OnCommand(kWholeContact));
  EXPECT_EQ(program.codes, (std::vector<uint32_t>{0x20001, 0x20002}));
  EXPECT_EQ(program.texts, (std::vector<std::wstring>{L"JA1ABC", L"26/12/07"}));
}

TEST_F(EditModeWin32Test, OutsideEditModeClipboardChangesShowNothing) {
  Copy(L"before");
  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  Copy(L"after");
  SendMessageW(window, WM_CLIPBOARDUPDATE, 0, 0);
  EXPECT_EQ(log.transfer_menus, 0);
  EXPECT_EQ(log.clipboard_notices, 1) << "only the one sent by hand: the listener went with edit mode";
}

TEST_F(EditModeWin32Test, ChosenItemSendsTheTrimmedClipboardTextToItsField) {
  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  // Down three times and Enter picks the third item, "to HL CALL".
  log.inside_menu = [](HWND target) {
    for (int i = 0; i < 3; ++i) PostMessageW(target, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
  };
  Copy(L"  ABC123  ");
  ASSERT_TRUE(PumpUntil([&] { return !log.commands.empty(); })) << "no item was chosen";
  ASSERT_EQ(log.commands, std::vector<UINT>{kFirstTransferItem + 2});

  ASSERT_TRUE(edit->OnCommand(log.commands[0]));
  ASSERT_EQ(program.codes.size(), 1u);
  EXPECT_EQ(program.codes[0], 0x20001u);
  EXPECT_EQ(program.texts[0], L"ABC123");
  EXPECT_EQ(boxes.shown, 0);
}

TEST_F(EditModeWin32Test, CloseEndsTheWatchAndKeepsTheFlag) {
  ASSERT_TRUE(edit->OnCommand(kLogEdit));
  edit->Close();
  EXPECT_TRUE(state.edit_mode);
  Copy(L"after close");
  EXPECT_EQ(log.transfer_menus, 0);
}

TEST(MenuBarItemsTest, ItemsGoBackToTheirOwnPlaces) {
  HWND window = MakeWindow(L"ZelmorMenuBarTest", DefWindowProcW, MakeMenuBar());
  ASSERT_NE(window, nullptr);
  const std::wstring file = L"File(&F)", hint = L"文字列をコピーするとHamlogへ転送出来ます", copy = L"HLcopy";
  HMENU transfer = nullptr;
  {
    window::MenuBarItems items(window);
    HMENU bar = items.bar();
    ASSERT_EQ(items.count(), 3);
    transfer = items.Popup(2);
    ASSERT_NE(transfer, nullptr);

    struct Step {
      int position;
      bool shown;
      std::vector<std::wstring> bar;
    };
    const Step steps[] = {
        {2, false, {file, hint}},
        {1, false, {file}},
        {2, true, {file, copy}},         // the later item first
        {1, true, {file, hint, copy}},   // the earlier one slots in before it
        {1, false, {file, copy}},
        {1, false, {file, copy}},        // hiding twice changes nothing
        {1, true, {file, hint, copy}},
    };
    for (const auto& step : steps) {
      EXPECT_TRUE(items.ShowTopLevelItem(step.position, step.shown));
      EXPECT_EQ(BarCaptions(bar), step.bar) << "after " << step.position << (step.shown ? " shown" : " hidden");
    }
    EXPECT_FALSE(items.ShowTopLevelItem(3, true)) << "no such item";
    EXPECT_EQ(GetSubMenu(bar, 2), transfer) << "the submenu is the same one";
    EXPECT_EQ(GetMenuItemCount(transfer), 13);

    ASSERT_TRUE(items.ShowTopLevelItem(2, false));
    EXPECT_TRUE(IsMenu(transfer)) << "kept alive off the bar";
  }
  EXPECT_FALSE(IsMenu(transfer)) << "off the bar, the submenu goes with the items";
  // One put back on the bar is the bar's again, and outlives the items.
  HMENU file_menu = nullptr;
  {
    window::MenuBarItems items(window);
    file_menu = items.Popup(0);
    ASSERT_TRUE(items.ShowTopLevelItem(0, false));
    ASSERT_TRUE(items.ShowTopLevelItem(0, true));
  }
  EXPECT_TRUE(IsMenu(file_menu));
  EXPECT_EQ(GetSubMenu(GetMenu(window), 0), file_menu);
  DestroyWindow(window);
}

}  // namespace
}  // namespace zelmor::transfer
