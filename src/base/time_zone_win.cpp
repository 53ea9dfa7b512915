#include "base/time_zone_win.h"

#include <windows.h>

namespace zelmor {
namespace {

using ToUtcEx = BOOL(WINAPI*)(const DYNAMIC_TIME_ZONE_INFORMATION*, const SYSTEMTIME*, LPSYSTEMTIME);

// The year-by-year rules (TzSpecificLocalTimeToSystemTimeEx) where the system has them. Looked up
// rather than imported: Wine's kernel32 does not export it, and an import would stop the program
// from starting there.
ToUtcEx YearlyRules() {
  static const ToUtcEx function = [] {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<ToUtcEx>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "TzSpecificLocalTimeToSystemTimeEx")))
                  : nullptr;
  }();
  return function;
}

}  // namespace

std::optional<CivilTime> ComputerTimeZone::ToUtc(const CivilTime& local) const {
  if (!IsValid(local)) return std::nullopt;
  SYSTEMTIME in{};
  in.wYear = static_cast<WORD>(local.year);
  in.wMonth = static_cast<WORD>(local.month);
  in.wDay = static_cast<WORD>(local.day);
  in.wHour = static_cast<WORD>(local.hour);
  in.wMinute = static_cast<WORD>(local.minute);
  in.wSecond = static_cast<WORD>(local.second);
  SYSTEMTIME out{};
  bool converted = false;
  if (const ToUtcEx yearly = YearlyRules()) {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID) converted = yearly(&zone, &in, &out) != FALSE;
  }
  // The current rules, applied to that date.
  if (!converted) converted = TzSpecificLocalTimeToSystemTime(nullptr, &in, &out) != FALSE;
  if (!converted) return std::nullopt;
  const CivilTime utc{out.wYear, out.wMonth, out.wDay, out.wHour, out.wMinute, out.wSecond};
  if (!IsValid(utc)) return std::nullopt;
  return utc;
}

}  // namespace zelmor
