#include "worked_logs.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>

#include "base/calendar.h"
#include "confirmations/lotw_report.h"
#include "entry/log_line.h"
#include "lotw_answers.h"
#include "settings/keys.h"

namespace test_support {
namespace {

// xorshift: the same numbers on every platform.
struct Numbers {
  uint32_t state;
  uint32_t Next(uint32_t below) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state % below;
  }
};

zelmor::LocalTime Later(zelmor::LocalTime t, int minutes) {
  t.minute += minutes;
  while (t.minute >= 60) {
    t.minute -= 60;
    if (++t.hour < 24) continue;
    t.hour = 0;
    if (++t.day <= zelmor::DaysInMonth(t.year, t.month)) continue;
    t.day = 1;
    if (++t.month <= 12) continue;
    t.month = 1;
    ++t.year;
  }
  return t;
}

}  // namespace

zelmor::LocalTime At(int year, int month, int day, int hour, int minute) {
  zelmor::LocalTime t;
  t.year = year, t.month = month, t.day = day, t.hour = hour, t.minute = minute;
  return t;
}

std::wstring LoggedLine(const std::wstring& memo, const std::wstring& satellite, const zelmor::LocalTime& at,
                        const std::wstring& uplink) {
  const zelmor::entry::LocaleFormats japanese{L"yyyy/MM/dd", L":", L"."};
  if (satellite.empty()) return zelmor::entry::FallbackLine(memo, at, japanese);
  const zelmor::entry::FeedSnapshot feed{satellite, L"435.640.000", uplink, L"21847", L"USB"};
  return zelmor::entry::LogLine(zelmor::entry::kDefaultTemplate, feed, memo, at, japanese).value_or(L"");
}

std::wstring SampleLog(size_t contacts, unsigned seed, const zelmor::LocalTime& start) {
  static const wchar_t* const kSatellites[] = {L"RS-44", L"SO-50", L"ISS", L"AO-7", L"FO-29", L"AO-91", L"IO-117", L"CAS-4A"};
  static const wchar_t* const kPrefixes[] = {L"JA", L"JE", L"JF", L"JH", L"JR", L"7K", L"7L", L"8J", L"BV", L"HL"};
  Numbers n{seed * 2654435761u + 1};
  std::wstring log;
  zelmor::LocalTime at = start;
  const uint32_t operators = static_cast<uint32_t>(contacts / 10 + 1);
  for (size_t i = 0; i < contacts; ++i) {
    const uint32_t op = n.Next(operators);
    std::wstring call = std::wstring(kPrefixes[op % 10]) + static_cast<wchar_t>(L'0' + op / 10 % 10);
    for (uint32_t k = op / 100, letters = 0; letters < 3; ++letters, k /= 26) call += static_cast<wchar_t>(L'A' + k % 26);
    const uint32_t form = n.Next(20);
    if (form == 0) call += L"/P";
    if (form == 1) call += L"/1";
    std::wstring memo = call + L" 59 5" + std::to_wstring(1 + n.Next(9));
    if (n.Next(4) != 0) {
      const uint32_t g = op % 300;
      memo += L" ";
      memo += static_cast<wchar_t>(L'L' + g % 7);
      memo += static_cast<wchar_t>(L'K' + g / 7 % 8);
      memo += std::to_wstring(10 + g % 90);
    }
    log += LoggedLine(memo, kSatellites[n.Next(8)], at) + L"\r\n";
    at = Later(at, 3);
  }
  return log;
}

ConfirmedSample ConfirmedSampleLog(size_t contacts) {
  static const wchar_t* const kSatellites[] = {L"RS-44", L"SO-50", L"AO-91", L"ISS", L"IO-117", L"CAS-4A"};
  static const char* const kLotwNames[] = {"RS-44", "SO-50", "AO-91", "ARISS", "IO-117", "CAS-4A"};
  const size_t operators = contacts / 10 + 1;
  ConfirmedSample sample;
  std::vector<LotwQsl> qsls;
  sample.lines.reserve(contacts);
  for (size_t i = 0; i < contacts; ++i) {
    const size_t op = i % operators;
    char call[16];
    std::snprintf(call, sizeof call, "JA%zu%c%c%c", op % 10, 'A' + static_cast<int>(op / 10 % 26),
                  'A' + static_cast<int>(op / 260 % 26), 'A' + static_cast<int>(op / 6760 % 26));
    const int64_t utc = zelmor::MinuteNumber(2025, 1, 1, 0, 0) + static_cast<int64_t>(i) * 3, local = utc + 540;
    const zelmor::CalendarDate day = zelmor::DateOfDayNumber(utc / 1440), local_day = zelmor::DateOfDayNumber(local / 1440);
    const zelmor::LocalTime at = At(local_day.year, local_day.month, local_day.day, static_cast<int>(local % 1440 / 60),
                                    static_cast<int>(local % 60));
    const std::wstring logged = std::wstring(call, call + std::char_traits<char>::length(call)) + (i % 7 == 0 ? L"/P" : L"");
    sample.lines.push_back(LoggedLine(logged + L" 59 59 PM95", kSatellites[i % 6], at));
    if (i % 10 != 0) continue;
    LotwQsl q;
    q.call = call;
    q.satellite = kLotwNames[i % 6];
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", day.year, day.month, day.day);
    q.date = text;
    std::snprintf(text, sizeof text, "%02d%02d00", static_cast<int>(utc % 1440 / 60), static_cast<int>(utc % 60));
    q.time = text;
    if (i % 50 == 0) q.vucc = "PM95,PM96";
    else q.grid = "PM95";
    qsls.push_back(q);
  }
  sample.confirmations = qsls.size();
  sample.kept = zelmor::confirmations::Merge("", zelmor::confirmations::ReadReport(LotwAnswer(qsls))).text;
  return sample;
}

}  // namespace test_support
