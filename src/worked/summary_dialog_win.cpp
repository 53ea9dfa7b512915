#include "worked/summary_dialog_win.h"

#include <iterator>

#include "base/resource.h"
#include "window/modal_dialog_win.h"

namespace zelmor::worked {
namespace {

constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kFollowMs = 250;
// Tab stops of the columns, in dialog units: the satellite's name, then five counts.
constexpr int kTabStops[] = {64, 100, 136, 172, 208};

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
    Fill();
    if (!complete_) SetTimer(hwnd(), kFollowTimer, kFollowMs, nullptr);
    FocusControl(IDC_SUMMARY_TEXT);
  }

  void Fill() {
    version_ = source_.SummaryVersion();
    complete_ = source_.SummaryComplete();
    SetWindowTextW(Text(), source_.SummaryText().c_str());
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
    } else if (id == IDOK || id == IDCANCEL) {
      End(id);
    }
  }

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
