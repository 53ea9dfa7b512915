#include "lotw/upload_views_win.h"

#include "lotw/passphrase_box_win.h"

namespace zelmor::lotw {

std::optional<Secret> Win32UploadViews::AskPassphrase() { return lotw::AskPassphrase(owner_, instance_); }

}  // namespace zelmor::lotw
