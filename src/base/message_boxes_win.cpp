#include "base/message_boxes_win.h"

#include "base/resource.h"
#include "base/texts.h"

namespace zelmor::base {

MessageAnswer Win32MessageBoxes::Show(const std::wstring& text, const std::optional<std::wstring>& title,
                                      MessageButtons buttons, MessageIcon icon) {
  UINT flags = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  if (icon == MessageIcon::Question) flags |= MB_ICONQUESTION;
  if (icon == MessageIcon::Stop) flags |= MB_ICONSTOP;
  // A box without a title of its own carries the application's title.
  const std::wstring caption = title ? *title : LoadText(IDS_APP_TITLE);
  const int answer = MessageBoxW(owner_, text.c_str(), caption.c_str(), flags);
  if (answer == IDYES) return MessageAnswer::Yes;
  if (answer == IDNO) return MessageAnswer::No;
  return MessageAnswer::Ok;
}

}  // namespace zelmor::base
