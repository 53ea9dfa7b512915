// Template expansion: LogLine, ComposeEntry and FallbackLine with any template, any feed values,
// any memo, any locale formats and any clock reading.
//
// Fields: template, satellite name, receive frequency, transmit frequency, Rev, mode, memo,
// short-date picture, time separator, decimal mark, date and time ("2024 3 5 21 5 37"), and a
// byte naming the feed label whose request fails ('1'..'5'; anything else: none fails). Missing
// fields take the values of the worked example of the log line.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "entry/date_picture.h"
#include "entry/feed.h"
#include "entry/log_line.h"
#include "fuzz_input.h"
#include "entry/log_format.h"

namespace zelmor::fuzz {
namespace {

using entry::FeedSnapshot;

// The replacement as the operator reads it: tokens in a fixed order, each step scanning the whole
// text so far from left to right without overlap, never rescanning what it just inserted. Built
// the plain way, independent of ReplaceToken; nothing when any step's text outgrows the limit.
std::optional<std::wstring> ExpectedExpansion(std::wstring text,
                                              const std::vector<std::pair<std::wstring, std::wstring>>& steps) {
  for (const auto& [token, value] : steps) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
      if (text.compare(i, token.size(), token) == 0) {
        out += value;
        i += token.size();
      } else {
        out += text[i++];
      }
      if (out.size() > entry::kMaxLineLength) return std::nullopt;
    }
    text = std::move(out);
  }
  return text;
}

bool HasLineBreakOrNul(const std::wstring& text) {
  return text.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos;
}

class ScriptedLinks : public entry::FeedLinks {
 public:
  ScriptedLinks(std::array<std::wstring, entry::kFeedLabelCount> values, int failing)
      : values_(std::move(values)), failing_(failing) {}
  bool Open(int, const std::wstring&, const std::wstring&, const std::wstring&) override { return true; }
  bool Request(int label, std::wstring& value) override {
    requested.push_back(label);
    if (label == failing_) return false;
    value = values_[static_cast<size_t>(label)];
    return true;
  }
  void Close(int) override {}

  std::vector<int> requested;

 private:
  std::array<std::wstring, entry::kFeedLabelCount> values_;
  int failing_;
};

std::string Labels(const std::vector<int>& labels) {
  std::string text;
  for (int label : labels) text += std::to_string(label + 1) + " ";
  return text;
}

void CheckLine(const Input& in) {
  const std::wstring template_text = in.Text(0, entry::kDefaultTemplate);
  const FeedSnapshot feed{in.Text(1, L"SAT-1"), in.Text(2, L"435.850.000"), in.Text(3, L"145.950.000"),
                          in.Text(4, L" 12345"), in.Text(5, L"USB")};
  const std::wstring memo = in.Text(6, L" CQ 599 ");
  const entry::LocaleFormats locale{in.Text(7, L"yyyy/MM/dd"), in.Text(8, L":"), in.Text(9, L".")};
  const LocalTime now = TimeFrom(in.Text(10), LocalTime{2024, 3, 5, 21, 5, 37});
  const unsigned char failing_byte = in.Byte(11, '0');
  const int failing = failing_byte >= '1' && failing_byte <= '5' ? failing_byte - '1' : -1;

  const std::wstring& mark = locale.decimal_mark;
  const auto receive = entry::ParseFrequencySingle(feed.receive_frequency, mark);
  const auto transmit = entry::ParseFrequencySingle(feed.transmit_frequency, mark);
  const auto log_frequency = entry::LogFrequencyText(feed.transmit_frequency, feed.receive_frequency, mark);
  const bool readable = receive && transmit && log_frequency;

  const auto line = entry::LogLine(template_text, feed, memo, now, locale);
  if (!readable) FUZZ_CHECK(!line.has_value(), "composed although a frequency cannot be read: " + Show(*line));

  if (readable) {
    const std::vector<std::pair<std::wstring, std::wstring>> steps = {
        {L"#DT", entry::FormatShortDate(locale.short_date, now)},
        {L"#TM", entry::FormatTime(now, locale.time_separator)},
        {L"#SN", feed.satellite_name},
        {L"#RV", TrimSpaces(feed.rev)},
        {L"#MM", TrimSpaces(memo)},
        {L"#LF", *log_frequency},
        {L"#TX", entry::FormatFrequencyMHz(*transmit, mark)},
        {L"#RX", entry::FormatFrequencyMHz(*receive, mark)},
        {L"#MD", entry::ModeText(feed.mode)},
    };
    const auto expected = ExpectedExpansion(template_text, steps);
    FUZZ_CHECK(line == expected, "composed " + (line ? Show(*line) : std::string("nothing")) + "\n  expected " +
                                     (expected ? Show(*expected) : std::string("nothing")));
    if (line) {
      FUZZ_CHECK(line->size() <= entry::kMaxLineLength, "line of " + std::to_string(line->size()));
      if (template_text.find(L'#') == std::wstring::npos) {
        FUZZ_CHECK(*line == template_text, "a template without tokens changed: " + Show(*line));
      }
      // Every character comes from an input or from what the program writes itself: digits,
      // signs, "/", the "." of an unusable decimal mark, and the letters of names and of SSB.
      const std::wstring* const inputs[] = {&template_text,      &feed.satellite_name, &feed.receive_frequency,
                                            &feed.transmit_frequency, &feed.rev,       &feed.mode,
                                            &memo,               &locale.short_date,   &locale.time_separator,
                                            &locale.decimal_mark};
      // One flag per character (lines reach a million characters, so no tree lookups here).
      static std::vector<bool> from_inputs(0x110000);
      for (const std::wstring* text : inputs) {
        for (wchar_t c : *text) from_inputs[static_cast<size_t>(c)] = true;
      }
      for (const wchar_t own : std::wstring(L"0123456789-/.ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) {
        from_inputs[static_cast<size_t>(own)] = true;
      }
      for (wchar_t c : *line) {
        FUZZ_CHECK(static_cast<size_t>(c) < from_inputs.size() && from_inputs[static_cast<size_t>(c)],
                   "character " + Show(std::wstring(1, c)) + " came from nowhere in " + Show(line->substr(0, 400)));
      }
      std::fill(from_inputs.begin(), from_inputs.end(), false);
    }
  }

  // The fallback line: date, time with J, and the memo exactly as typed; no token expands, and
  // it holds a line break only when the date picture, the separator or the memo holds one.
  const std::wstring fallback = entry::FallbackLine(memo, now, locale);
  const std::wstring tail = L"J " + memo;
  FUZZ_CHECK(fallback.size() >= tail.size() && fallback.compare(fallback.size() - tail.size(), tail.size(), tail) == 0,
             "fallback " + Show(fallback) + " does not end with the memo as typed");
  if (!HasLineBreakOrNul(locale.short_date) && !HasLineBreakOrNul(locale.time_separator) &&
      !HasLineBreakOrNul(memo)) {
    FUZZ_CHECK(!HasLineBreakOrNul(fallback), "fallback line broken: " + Show(fallback));
  }

  // ComposeEntry asks the labels one by one and stops at the first request or frequency that
  // fails; when nothing fails it composes what LogLine composes from the same values.
  ScriptedLinks links({feed.satellite_name, feed.receive_frequency, feed.transmit_frequency, feed.rev, feed.mode},
                      failing);
  entry::Feed live(links);
  const auto composed = entry::ComposeEntry(template_text, live, memo, now, locale);

  std::vector<int> expected_requests;
  bool stopped = false;
  for (int label = 0; label < entry::kFeedLabelCount && !stopped; ++label) {
    expected_requests.push_back(label);
    if (label == failing) stopped = true;
    else if (label == entry::kReceiveFrequency && !receive) stopped = true;
    else if (label == entry::kTransmitFrequency && (!transmit || !log_frequency)) stopped = true;
  }
  FUZZ_CHECK(links.requested == expected_requests,
             "requested " + Labels(links.requested) + "expected " + Labels(expected_requests));
  if (stopped) {
    FUZZ_CHECK(!composed.has_value(), "composed after a failed step: " + Show(*composed));
  } else {
    FUZZ_CHECK(composed == line, "ComposeEntry and LogLine differ on the same values");
  }
}

// A date written with a picture that separates its numbers reads back as the same date.
void CheckDateRoundTrip(const LocalTime& now) {
  if (now.year < 1 || now.year > 9999 || now.month < 1 || now.month > 12 || now.day < 1 || now.day > 31) return;
  struct Picture {
    const wchar_t* picture;
    int order[3];  // positions of year, month, day
  };
  static const Picture kPictures[] = {
      {L"yyyy/MM/dd", {0, 1, 2}}, {L"yyyy/M/d", {0, 1, 2}}, {L"dd.MM.yyyy", {2, 1, 0}}, {L"M/d/yyyy", {2, 0, 1}}};
  for (const auto& p : kPictures) {
    const std::wstring text = entry::FormatShortDate(p.picture, now);
    const LocalTime back = TimeFrom(text, LocalTime{});
    const int read[3] = {back.year, back.month, back.day};
    FUZZ_CHECK(read[p.order[0]] == now.year && read[p.order[1]] == now.month && read[p.order[2]] == now.day,
               "date " + Show(text) + " with picture " + Show(p.picture));
  }
  const std::wstring time = entry::FormatTime(now, L":");
  if (now.hour >= 0 && now.hour <= 23 && now.minute >= 0 && now.minute <= 59) {
    FUZZ_CHECK(time.size() == 5 && time[2] == L':' && TimeFrom(time, LocalTime{}).year == now.hour &&
                   TimeFrom(time, LocalTime{}).month == now.minute,
               "time " + Show(time));
  }
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const zelmor::fuzz::Input in(data, size);
  zelmor::fuzz::CheckLine(in);
  zelmor::fuzz::CheckDateRoundTrip(zelmor::fuzz::TimeFrom(in.Text(10), zelmor::LocalTime{2024, 3, 5, 21, 5, 37}));
  return 0;
}
