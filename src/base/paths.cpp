#include "base/paths.h"

namespace zelmor::base {
namespace {

constexpr std::wstring_view kSeparators = L"\\/";

}  // namespace

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) path += L'\\';
  path += name;
  return path;
}

std::wstring FolderOf(std::wstring_view path) {
  const size_t separator = path.find_last_of(kSeparators);
  return separator == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, separator));
}

std::wstring NameOf(std::wstring_view path) {
  const size_t separator = path.find_last_of(kSeparators);
  return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

}  // namespace zelmor::base
