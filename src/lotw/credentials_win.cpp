#include "lotw/credentials_win.h"

#include <vector>

namespace zelmor::lotw {

std::optional<Secret> Win32PasswordVault::Read(const std::wstring& login) {
  PCREDENTIALW found = nullptr;
  if (!CredReadW(TargetName(login).c_str(), CRED_TYPE_GENERIC, 0, &found)) return std::nullopt;
  const UniqueCredential credential(found);
  // Written by Write below as UTF-16 without a terminator.
  const size_t length = credential.get()->CredentialBlobSize / sizeof(wchar_t);
  if (length == 0) return std::nullopt;
  return Secret(std::wstring_view(reinterpret_cast<const wchar_t*>(credential.get()->CredentialBlob), length));
}

bool Win32PasswordVault::Write(const std::wstring& login, const Secret& password) {
  std::wstring target = TargetName(login);
  std::wstring user = login;
  // CredWriteW takes the blob as writable bytes: a copy of its own, wiped once written.
  std::vector<wchar_t> blob(password.text().begin(), password.text().end());
  CREDENTIALW credential{};
  credential.Type = CRED_TYPE_GENERIC;
  credential.TargetName = target.data();
  credential.UserName = user.data();
  credential.CredentialBlobSize = static_cast<DWORD>(blob.size() * sizeof(wchar_t));
  credential.CredentialBlob = reinterpret_cast<LPBYTE>(blob.data());
  credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
  const BOOL written = CredWriteW(&credential, 0);
  SecureZeroMemory(blob.data(), blob.size() * sizeof(wchar_t));
  return written != FALSE;
}

void Win32PasswordVault::Delete(const std::wstring& login) {
  CredDeleteW(TargetName(login).c_str(), CRED_TYPE_GENERIC, 0);
}

}  // namespace zelmor::lotw
