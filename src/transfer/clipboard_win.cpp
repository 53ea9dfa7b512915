#include "transfer/clipboard_win.h"

#include <algorithm>
#include <string_view>

#include "platform/codepage_win.h"
#include "platform/handles_win.h"

namespace zelmor::transfer {

std::wstring ReadClipboardText(HWND owner) {
  platform::ClipboardGuard clipboard(owner);
  if (!clipboard.is_open()) return {};
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return {};
  platform::GlobalLockGuard<const char> bytes(data);
  if (!bytes.get()) return {};
  // Another program wrote this memory: look for its NUL only inside the block it gave.
  const char* begin = bytes.get();
  const char* end = std::find(begin, begin + bytes.size(), '\0');
  return platform::FromAnsi(std::string_view(begin, static_cast<size_t>(end - begin)));
}

}  // namespace zelmor::transfer
