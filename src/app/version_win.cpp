#include "app/version_win.h"

#include <windows.h>

#include <winver.h>

#include "app/geometry.h"

namespace zelmor::app {

Version OwnVersion() {
  Version version;
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
  if (!found) return version;
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(nullptr, found);
  if (!data || size < sizeof(VS_FIXEDFILEINFO)) return version;
  // VS_FIXEDFILEINFO follows the block header; find it by its signature rather than by layout.
  const auto* bytes = static_cast<const BYTE*>(data);
  for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
    const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(bytes + offset);
    if (info->dwSignature == 0xFEEF04BD) {
      version.major = HIWORD(info->dwFileVersionMS);
      version.minor = LOWORD(info->dwFileVersionMS);
      version.revision = HIWORD(info->dwFileVersionLS);
      break;
    }
  }
  return version;
}

std::wstring OwnVersionText() {
  const Version v = OwnVersion();
  return FormatVersion(v.major, v.minor, v.revision);
}

}  // namespace zelmor::app
