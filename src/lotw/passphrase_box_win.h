#pragma once
// The boxes that ask for a secret: the callsign certificate's passphrase when TQSL refused the
// upload for the lack of it (used for one more run of TQSL and never written anywhere), and the
// LoTW website's login and password for fetching confirmations.

#include <windows.h>

#include <optional>
#include <string>

#include "lotw/lotw_fetch.h"
#include "lotw/tqsl_job.h"

namespace zelmor::lotw {

// Shows the box (modal, over `owner`, from the resources of `instance`). The passphrase typed, or
// nothing when cancelled. Every copy Zelmor made of it is wiped, the box's own text included.
std::optional<Secret> AskPassphrase(HWND owner, HINSTANCE instance);

// The password box: `login` filled in; `saved`, when given, filled in with "保存する" ticked. OK
// wants a login and a password. What the operator left there, or nothing when cancelled; the
// box's own copy of the password is wiped either way.
std::optional<LoginAnswer> AskLogin(HWND owner, HINSTANCE instance, const std::wstring& login, const Secret* saved);

}  // namespace zelmor::lotw
