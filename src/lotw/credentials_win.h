#pragma once
// The LoTW website's password in Windows' Credential Manager: a generic credential per login,
// named "Zelmor/LoTW/<login>", kept for the user on this machine (CRED_PERSIST_LOCAL_MACHINE).
// The system keeps it protected for the user; Zelmor writes it to no file of its own.

#include <windows.h>

#include <wincred.h>

#include <optional>
#include <string>

#include "base/handles_win.h"
#include "lotw/lotw_fetch.h"

namespace zelmor::lotw {

inline constexpr wchar_t kCredentialPrefix[] = L"Zelmor/LoTW/";

// A credential CredReadW handed out: its password bytes are wiped before CredFree.
struct CredentialTraits {
  static PCREDENTIALW invalid() { return nullptr; }
  static void close(PCREDENTIALW credential) {
    if (credential->CredentialBlob) SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
    CredFree(credential);
  }
};
using UniqueCredential = base::Unique<PCREDENTIALW, CredentialTraits>;

class Win32PasswordVault : public PasswordVault {
 public:
  std::optional<Secret> Read(const std::wstring& login) override;
  bool Write(const std::wstring& login, const Secret& password) override;
  void Delete(const std::wstring& login) override;

  static std::wstring TargetName(const std::wstring& login) { return kCredentialPrefix + login; }
};

}  // namespace zelmor::lotw
