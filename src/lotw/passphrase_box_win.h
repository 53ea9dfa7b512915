#pragma once
// The box that asks for the callsign certificate's passphrase when TQSL refused the upload for
// the lack of it. The passphrase is used for one more run of TQSL and never written anywhere.

#include <windows.h>

#include <optional>

#include "lotw/tqsl_job.h"

namespace zelmor::lotw {

// Shows the box (modal, over `owner`, from the resources of `instance`). The passphrase typed, or
// nothing when cancelled. Every copy Zelmor made of it is wiped, the box's own text included.
std::optional<Secret> AskPassphrase(HWND owner, HINSTANCE instance);

}  // namespace zelmor::lotw
