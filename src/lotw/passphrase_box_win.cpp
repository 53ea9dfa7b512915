#include "lotw/passphrase_box_win.h"

#include <string>
#include <vector>

#include "base/resource.h"
#include "window/modal_dialog_win.h"

namespace zelmor::lotw {
namespace {

class PassphraseBox : public window::ModalDialog {
 public:
  std::optional<Secret>& result() { return result_; }

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM) override {
    switch (message) {
      case WM_INITDIALOG:
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
          Take();
          End(IDOK);
        } else if (LOWORD(wparam) == IDCANCEL) {
          Clear();
          End(IDCANCEL);
        }
        return TRUE;
      default:
        return FALSE;
    }
  }

 private:
  void Take() {
    HWND box = GetDlgItem(hwnd(), IDC_PASSPHRASE);
    const int length = GetWindowTextLengthW(box);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(box, buffer.data(), static_cast<int>(buffer.size()));
    result_.emplace(std::wstring_view(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0));
    SecureZeroMemory(buffer.data(), buffer.size() * sizeof(wchar_t));
    Clear();
  }

  // The edit control keeps its text in its own memory: overwritten in place, then emptied.
  void Clear() {
    HWND box = GetDlgItem(hwnd(), IDC_PASSPHRASE);
    const int length = GetWindowTextLengthW(box);
    if (length > 0) {
      const std::wstring filler(static_cast<size_t>(length), L' ');
      SetWindowTextW(box, filler.c_str());
    }
    SetWindowTextW(box, L"");
  }

  std::optional<Secret> result_;
};

}  // namespace

std::optional<Secret> AskPassphrase(HWND owner, HINSTANCE instance) {
  PassphraseBox box;
  if (box.Run(instance, IDD_PASSPHRASE, owner) != IDOK) return std::nullopt;
  return std::move(box.result());
}

}  // namespace zelmor::lotw
