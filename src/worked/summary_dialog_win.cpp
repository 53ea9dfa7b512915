#include "worked/summary_dialog_win.h"

#include <iterator>
#include <utility>

#include "base/message_boxes_win.h"
#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "logfiles/file_dialogs_win.h"
#include "window/modal_dialog_win.h"
#include "worked/grid_map_win.h"

namespace zelmor::worked {
namespace {

constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kFollowMs = 250;
// Tab stops of the columns, in dialog units: the satellite's name, then five counts (the last two
// under longer headings), so that all fit beside the map.
constexpr int kTabStops[] = {56, 84, 112, 148, 188};

class SummaryDialog : public window::ModalDialog {
 public:
  explicit SummaryDialog(SummarySource& source) : source_(source) {}

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM) override {
    switch (message) {
      case WM_INITDIALOG:
        OnInit();
        // The focus is set here: the text box, all of it selected, so that Ctrl+C takes it whole.
        return FALSE;
      case WM_TIMER:
        if (wparam == kFollowTimer) Follow();
        return TRUE;
      case WM_COMMAND:
        OnCommand(LOWORD(wparam));
        return TRUE;
      case WM_DESTROY:
        KillTimer(hwnd(), kFollowTimer);
        return FALSE;
      default:
        return FALSE;
    }
  }

 private:
  HWND Text() const { return GetDlgItem(hwnd(), IDC_SUMMARY_TEXT); }

  void OnInit() {
    SendMessageW(Text(), EM_SETTABSTOPS, static_cast<WPARAM>(std::size(kTabStops)),
                 reinterpret_cast<LPARAM>(kTabStops));
    map_.Create(GetDlgItem(hwnd(), IDC_SUMMARY_MAP));
    Fill();
    if (!complete_) SetTimer(hwnd(), kFollowTimer, kFollowMs, nullptr);
    FocusControl(IDC_SUMMARY_TEXT);
  }

  void Fill() {
    version_ = source_.SummaryVersion();
    complete_ = source_.SummaryComplete();
    SummarySource::Shown shown = source_.SummaryNow();
    SetWindowTextW(Text(), shown.text.c_str());
    map_.SetSquares(std::move(shown.squares));
  }

  void Follow() {
    if (source_.SummaryVersion() == version_) return;
    Fill();
    if (!complete_) return;
    KillTimer(hwnd(), kFollowTimer);
    if (GetFocus() == Text()) SendMessageW(Text(), EM_SETSEL, 0, -1);
  }

  void OnCommand(int id) {
    if (id == IDC_SUMMARY_COPY) {
      SendMessageW(Text(), EM_SETSEL, 0, -1);
      SendMessageW(Text(), WM_COPY, 0, 0);
      FocusControl(IDC_SUMMARY_TEXT);
    } else if (id == IDC_SUMMARY_MAP_COPY || id == IDC_SUMMARY_MAP_SAVE || id == IDC_SUMMARY_MAP_FIT) {
      OnMapCommand(id);
    } else if (id == IDOK || id == IDCANCEL) {
      End(id);
    }
  }

  // --- The map ---
  void OnMapCommand(int id) {
    base::Win32MessageBoxes boxes(hwnd());
    if (id == IDC_SUMMARY_MAP_FIT) {
      map_.Fit();
    } else if (id == IDC_SUMMARY_MAP_COPY) {
      if (!map_.CopyToClipboard()) {
        boxes.Show(LoadText(IDS_MAP_COPY_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::Stop);
      }
    } else if (id == IDC_SUMMARY_MAP_SAVE) {
      logfiles::CommonFileDialogs dialogs(hwnd());
      save_.title = LoadText(IDS_MAP_SAVE_TITLE);
      save_.filter = LoadText(IDS_MAP_SAVE_FILTER);
      if (save_.file_name.empty()) save_.file_name = LoadText(IDS_MAP_FILE_NAME);
      if (!dialogs.ShowSave(save_, logfiles::ExistingFile::AskFirst)) return;
      // A name typed without an extension gets the one the filter names.
      const size_t name = save_.file_name.find_last_of(L"\\/");
      if (save_.file_name.find(L'.', name == std::wstring::npos ? 0 : name) == std::wstring::npos) {
        save_.file_name += L".png";
      }
      const DWORD error = map_.SaveAsPng(save_.file_name);
      if (error != ERROR_SUCCESS) {
        boxes.Show(FillText(LoadText(IDS_MAP_SAVE_FAILED), {save_.file_name}), std::nullopt, MessageButtons::Ok,
                   MessageIcon::Stop);
      }
    }
  }
  GridMapView map_;
  logfiles::FileDialogState save_;

  SummarySource& source_;
  uint64_t version_ = 0;
  bool complete_ = false;
};

}  // namespace

void ShowSummary(HWND owner, HINSTANCE instance, SummarySource& source) {
  SummaryDialog dialog(source);
  dialog.Run(instance, IDD_SUMMARY, owner);
}

}  // namespace zelmor::worked
