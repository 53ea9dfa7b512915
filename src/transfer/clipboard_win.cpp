#include "transfer/clipboard_win.h"

#include <algorithm>
#include <string_view>

#include "base/codepage_win.h"
#include "base/handles_win.h"

namespace zelmor::transfer {

std::wstring ReadClipboardText(HWND owner) {
  base::ClipboardGuard clipboard(owner);
  if (!clipboard.is_open()) return {};
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return {};
  base::GlobalLockGuard<const char> bytes(data);
  if (!bytes.get()) return {};
  // Another program wrote this memory: look for its NUL only inside the block it gave.
  const char* begin = bytes.get();
  const char* end = std::find(begin, begin + bytes.size(), '\0');
  return base::FromAnsi(std::string_view(begin, static_cast<size_t>(end - begin)));
}

}  // namespace zelmor::transfer
