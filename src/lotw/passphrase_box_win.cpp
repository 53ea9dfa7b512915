#include "lotw/passphrase_box_win.h"

#include <string>
#include <vector>

#include "base/resource.h"
#include "window/modal_dialog_win.h"

namespace zelmor::lotw {
namespace {

// The edit control's text, through a buffer that is wiped before it goes.
Secret TakeSecret(HWND box) {
  const int length = GetWindowTextLengthW(box);
  std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int got = GetWindowTextW(box, buffer.data(), static_cast<int>(buffer.size()));
  Secret secret(std::wstring_view(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0));
  SecureZeroMemory(buffer.data(), buffer.size() * sizeof(wchar_t));
  return secret;
}

// The edit control keeps its text in its own memory: overwritten in place, then emptied.
void ClearSecret(HWND box) {
  const int length = GetWindowTextLengthW(box);
  if (length > 0) {
    const std::wstring filler(static_cast<size_t>(length), L' ');
    SetWindowTextW(box, filler.c_str());
  }
  SetWindowTextW(box, L"");
}

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
          result_.emplace(TakeSecret(box()));
          ClearSecret(box());
          End(IDOK);
        } else if (LOWORD(wparam) == IDCANCEL) {
          ClearSecret(box());
          End(IDCANCEL);
        }
        return TRUE;
      default:
        return FALSE;
    }
  }

 private:
  HWND box() const { return GetDlgItem(hwnd(), IDC_PASSPHRASE); }

  std::optional<Secret> result_;
};

class LoginBox : public window::ModalDialog {
 public:
  LoginBox(const std::wstring& login, const Secret* saved) : login_(login), saved_(saved) {}
  std::optional<LoginAnswer>& result() { return result_; }

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM) override {
    switch (message) {
      case WM_INITDIALOG:
        SetDlgItemTextW(hwnd(), IDC_LOTW_LOGIN, login_.c_str());
        if (saved_) {
          SetWindowTextW(password(), saved_->text().c_str());
          CheckDlgButton(hwnd(), IDC_LOTW_SAVE, BST_CHECKED);
        }
        // Where the operator has something to type: the login when none is known yet.
        FocusControl(login_.empty() ? IDC_LOTW_LOGIN : IDC_LOTW_PASSWORD);
        return FALSE;
      case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
          Take();
        } else if (LOWORD(wparam) == IDCANCEL) {
          ClearSecret(password());
          End(IDCANCEL);
        }
        return TRUE;
      default:
        return FALSE;
    }
  }

 private:
  HWND password() const { return GetDlgItem(hwnd(), IDC_LOTW_PASSWORD); }

  void Take() {
    HWND login_box = GetDlgItem(hwnd(), IDC_LOTW_LOGIN);
    std::wstring login(static_cast<size_t>(GetWindowTextLengthW(login_box)) + 1, L'\0');
    login.resize(static_cast<size_t>(GetWindowTextW(login_box, login.data(), static_cast<int>(login.size()))));
    if (login.find_first_not_of(L' ') == std::wstring::npos) {
      MessageBeep(MB_ICONWARNING);
      return FocusControl(IDC_LOTW_LOGIN);
    }
    if (GetWindowTextLengthW(password()) == 0) {
      MessageBeep(MB_ICONWARNING);
      return FocusControl(IDC_LOTW_PASSWORD);
    }
    result_.emplace(LoginAnswer{login, TakeSecret(password()), IsDlgButtonChecked(hwnd(), IDC_LOTW_SAVE) == BST_CHECKED});
    ClearSecret(password());
    End(IDOK);
  }

  std::wstring login_;
  const Secret* saved_;
  std::optional<LoginAnswer> result_;
};

}  // namespace

std::optional<Secret> AskPassphrase(HWND owner, HINSTANCE instance) {
  PassphraseBox box;
  if (box.Run(instance, IDD_PASSPHRASE, owner) != IDOK) return std::nullopt;
  return std::move(box.result());
}

std::optional<LoginAnswer> AskLogin(HWND owner, HINSTANCE instance, const std::wstring& login, const Secret* saved) {
  LoginBox box(login, saved);
  if (box.Run(instance, IDD_LOTW_LOGIN, owner) != IDOK) return std::nullopt;
  return std::move(box.result());
}

}  // namespace zelmor::lotw
