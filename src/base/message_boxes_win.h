#pragma once

#include <windows.h>

#include "base/message_boxes.h"

namespace zelmor::base {

class Win32MessageBoxes : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title,
                     MessageButtons buttons, MessageIcon icon) override;

 private:
  HWND owner_;
};

}  // namespace zelmor::base
